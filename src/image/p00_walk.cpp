// P00 files (PC64): one program behind a 26-byte header that holds its name.
#include <cstring>

#include "image/container_kind.h"
#include "image/program_walk.h"

namespace mog {

namespace {

constexpr char P00_SIGNATURE[] = "C64File"; // with its terminating zero, 8 bytes
constexpr std::size_t P00_NAME = 8;
constexpr std::size_t P00_NAME_SIZE = 16;
constexpr std::size_t P00_HEADER_SIZE = 26; // the program follows, as in a PRG file

// ".p" and two digits, as PC64 numbers its files: .p00, .p01 and so on.
bool p00_extension(std::string_view extension) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return extension[0] == '.' && (extension[1] == 'p' || extension[1] == 'P') && digit(extension[2]) &&
           digit(extension[3]);
}

void start_p00(WalkState& walk) {
    if (walk.size < P00_HEADER_SIZE || std::memcmp(walk.bytes, P00_SIGNATURE, sizeof P00_SIGNATURE) != 0) {
        add_notice(walk, Notice{NoticeKind::not_p00});
        walk.ended = true;
    }
}

bool next_p00(WalkState& walk, Program& program) {
    if (walk.given > 0)
        return false;
    program = program_after_load_address(walk.bytes + P00_HEADER_SIZE, walk.size - P00_HEADER_SIZE);
    program.origin = P00_HEADER_SIZE;
    // PC64 pads names with zero bytes, cbmconvert with shifted blanks.
    set_name(program, walk.bytes + P00_NAME, P00_NAME_SIZE, 0x00, 0xA0);
    return true;
}

std::size_t read_p00(const WalkState& walk, const Program&, std::size_t offset, std::span<unsigned char> into) {
    return copy_from(walk, P00_HEADER_SIZE, offset, into);
}

} // namespace

const ContainerKind P00_CONTAINER = {
    "p00", p00_extension, {}, ".p00-.p99", "a program in a PC64 file", false, start_p00, next_p00, read_p00,
};

} // namespace mog
