// Reads a disk image, lists each program's name and start line, sets every
// start line to the number given and writes the result safely beside it.
// Usage: stamp_disk <image> <number>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <mog/mog.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: stamp_disk <image> <number>\n");
        return 1;
    }
    const std::string name = argv[1];
    std::optional<mog::Container> container = mog::container_for_name(name);
    if (!container) {
        std::fprintf(stderr, "%s: not a kind of file mog reads\n", name.c_str());
        return 1;
    }
    mog::FileRead read = mog::read_file(name);
    if (read.error) {
        std::fprintf(stderr, "%s\n", mog::describe(*read.error).c_str());
        return mog::exit_status(*read.error);
    }

    mog::PassRequest request;
    request.each = {mog::Action::set, static_cast<unsigned>(std::atoi(argv[2]))};
    mog::PassResult result = mog::run_pass(*container, read.bytes, request);
    if (result.failure != mog::PassFailure::none) {
        std::fprintf(stderr, "%s\n", mog::describe(result.failure, result).c_str());
        return mog::exit_status(result.failure);
    }
    for (const mog::Notice& notice : result.notices)
        std::printf("warning: %s\n", mog::describe(notice, *container).c_str());
    for (const mog::ProgramRecord& program : result.programs) {
        std::printf("%-16s", mog::program_name_text(program).c_str());
        if (program.changed())
            std::printf(" %u -> %u", program.line, program.new_line);
        else if (program.start_line)
            std::printf(" %u", program.line);
        std::printf("\n");
    }

    const std::string written = name + ".stamped";
    if (std::optional<mog::FileError> error = mog::replace_file(written, read.bytes, false)) {
        std::fprintf(stderr, "%s\n", mog::describe(*error).c_str());
        return mog::exit_status(*error);
    }
    std::printf("%zu programs changed, written to %s (library %s)\n", result.changed(), written.c_str(),
                mog::version());
    return 0;
}
