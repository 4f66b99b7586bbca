#include "image/program_walk.h"

namespace {

// A directory entry's program starts in the entry's first data sector.
Program disk_program(const ProgramWalk& walk, const unsigned char* entry) {
    Program program;
    program.name = entry + ENTRY_NAME;
    program.name_size = ENTRY_NAME_SIZE;
    unsigned char* sector = find_sector(*walk.container.disk, walk.buffer, walk.size, entry[ENTRY_FIRST_TRACK],
                                        entry[ENTRY_FIRST_SECTOR]);
    if (sector != nullptr) {
        // The start line ends with its sector at the latest.
        program.line = sys_line_after_load_address(sector + SECTOR_DATA, SECTOR_SIZE - SECTOR_DATA);
        program.has_start_line = match_sys_line(program.line);
    }
    return program;
}

} // namespace

ProgramWalk start_program_walk(const Container& container, unsigned char* buffer, std::size_t size) {
    ProgramWalk walk{container, buffer, size, false, {}};
    if (container.kind == ContainerKind::disk)
        walk.directory = start_directory_walk(*container.disk, buffer, size);
    return walk;
}

bool next_program(ProgramWalk& walk, Program& program) {
    switch (walk.container.kind) {
    case ContainerKind::prg:
        if (walk.single_given)
            return false;
        walk.single_given = true;
        program = Program{};
        program.line = sys_line_after_load_address(walk.buffer, walk.size);
        program.has_start_line = match_sys_line(program.line);
        return true;
    case ContainerKind::disk:
        while (unsigned char* entry = next_directory_entry(walk.directory))
            if (entry[ENTRY_FILE_TYPE] != 0) {
                program = disk_program(walk, entry);
                return true;
            }
        return false;
    }
    return false;
}
