// Lists the programs of a Commodore disk image, tape or program file: each
// program's name as console text and, where it has one, the line number of
// its BASIC start line.
// Usage: list_programs <file>
#include <cstdio>
#include <string>

#include <mog/mog.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: list_programs <file>\n");
        return 1;
    }
    std::optional<mog::Container> container = mog::container_for_name(argv[1]);
    if (!container) {
        std::fprintf(stderr, "%s: not a kind of file mog reads\n", argv[1]);
        return 1;
    }
    mog::FileRead read = mog::read_file(argv[1]);
    if (read.error) {
        std::fprintf(stderr, "%s\n", mog::describe(*read.error).c_str());
        return 1;
    }
    // A pass that only looks: nothing is changed.
    mog::PassResult result = mog::run_pass(*container, read.bytes, mog::PassRequest{});
    for (const mog::ProgramRecord& program : result.programs) {
        std::string name = program.named
                               ? mog::convert_petscii_string(program.name_field())
                               : std::string(argv[1]);
        if (program.start_line)
            std::printf("%s  %u\n", name.c_str(), program.line);
        else
            std::printf("%s\n", name.c_str());
    }
    return 0;
}
