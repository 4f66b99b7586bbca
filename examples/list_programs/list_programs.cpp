// Lists the programs of a Commodore disk image, tape or program file: each
// program's name as console text and, where it has one, the line number of
// its BASIC start line.
// Usage: list_programs <file>
#include <cstdio>
#include <string>
#include <vector>

#include <mog/mog.h>

namespace {

bool read_file(const char* name, std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return false;
    unsigned char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    bool read = std::ferror(file) == 0;
    return std::fclose(file) == 0 && read;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: list_programs <file>\n");
        return 1;
    }
    mog::Container container;
    if (!mog::container_for_name(argv[1], container)) {
        std::fprintf(stderr, "%s: not a kind of file mog reads\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> bytes;
    if (!read_file(argv[1], bytes)) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    // A pass that only looks: nothing is changed.
    mog::PassResult result = mog::run_pass(container, bytes.data(), bytes.size(), mog::PassRequest{});
    for (const mog::ProgramRecord& program : result.programs) {
        std::string name =
            program.named ? mog::convert_petscii_string(program.name.data(), program.name_size) : std::string(argv[1]);
        if (program.start_line)
            std::printf("%s  %u\n", name.c_str(), program.line);
        else
            std::printf("%s\n", name.c_str());
    }
    return 0;
}
