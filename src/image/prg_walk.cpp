// PRG files: one program, its load address first.
#include "image/container.h"
#include "image/container_kind.h"
#include "image/program_walk.h"

namespace mog {

namespace {

bool prg_extension(const char* extension) {
    return same_extension(extension, ".prg");
}

void start_prg(ProgramWalk&) {}

bool next_prg(ProgramWalk& walk, Program& program) {
    if (walk.given > 0)
        return false;
    program = program_after_load_address(walk.bytes, walk.size);
    return true;
}

} // namespace

const ContainerKind PRG_CONTAINER = {
    "prg", prg_extension, {}, ".prg", "a program, its load address first", false, start_prg, next_prg,
};

} // namespace mog
