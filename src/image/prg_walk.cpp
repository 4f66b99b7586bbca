// PRG files: one program, its load address first.
#include "image/container.h"
#include "image/container_kind.h"
#include "image/program_walk.h"

namespace mog {

namespace {

bool prg_extension(std::string_view extension) {
    return same_extension(extension, ".prg");
}

void start_prg(WalkState&) {}

bool next_prg(WalkState& walk, Program& program) {
    if (walk.given > 0)
        return false;
    program = program_after_load_address(walk.bytes, walk.size);
    return true;
}

std::size_t read_prg(const WalkState& walk, const Program&, std::size_t offset, std::span<unsigned char> into) {
    return copy_from(walk, 0, offset, into);
}

} // namespace

const ContainerKind PRG_CONTAINER = {
    "prg", prg_extension, {}, ".prg", "a program, its load address first", false, start_prg, next_prg, read_prg,
};

} // namespace mog
