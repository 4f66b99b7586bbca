#include "image/program_walk.h"

#include <cstring>

namespace {

constexpr char P00_SIGNATURE[] = "C64File"; // with its terminating zero, 8 bytes
constexpr std::size_t P00_NAME = 8;
constexpr std::size_t P00_NAME_SIZE = 16;

// A directory entry's program starts in the entry's first data sector.
Program disk_program(const ProgramWalk& walk, const unsigned char* entry) {
    Program program;
    program.name = entry + ENTRY_NAME;
    program.name_size = ENTRY_NAME_SIZE;
    unsigned char* sector =
        find_sector(*walk.container.disk, walk.buffer, walk.size, entry[ENTRY_FIRST_TRACK], entry[ENTRY_FIRST_SECTOR]);
    if (sector != nullptr) {
        // The start line ends with its sector at the latest.
        program.line = sys_line_after_load_address(sector + SECTOR_DATA, SECTOR_SIZE - SECTOR_DATA);
        program.has_start_line = match_sys_line(program.line);
    }
    return program;
}

// A tape keeps the load address in the entry and the line at the entry's
// offset; the line may run to the end of the file.
Program tape_program(const ProgramWalk& walk, const unsigned char* entry) {
    Program program;
    program.name = entry + TAPE_ENTRY_NAME;
    program.name_size = TAPE_ENTRY_NAME_SIZE;
    std::size_t offset = tape_entry_offset(entry);
    if (offset <= walk.size) {
        unsigned load_address = entry[TAPE_ENTRY_START] | (entry[TAPE_ENTRY_START + 1] << 8);
        program.line = SysLine{load_address, walk.buffer + offset, walk.size - offset};
        program.has_start_line = match_sys_line(program.line);
    }
    return program;
}

// The one program of a PRG, or of a P00 after its header.
Program single_program(const ProgramWalk& walk) {
    Program program;
    std::size_t start = 0;
    if (walk.container.kind == ContainerKind::p00) {
        program.name = walk.buffer + P00_NAME;
        program.name_size = P00_NAME_SIZE;
        start = P00_HEADER_SIZE;
    }
    program.line = sys_line_after_load_address(walk.buffer + start, walk.size - start);
    program.has_start_line = match_sys_line(program.line);
    return program;
}

} // namespace

ProgramWalk start_program_walk(const Container& container, unsigned char* buffer, std::size_t size) {
    ProgramWalk walk{container, buffer, size, false, false, {}, {}};
    switch (container.kind) {
    case ContainerKind::prg:
        break;
    case ContainerKind::p00:
        walk.header_missing = size < P00_HEADER_SIZE || std::memcmp(buffer, P00_SIGNATURE, sizeof P00_SIGNATURE) != 0;
        walk.single_given = walk.header_missing;
        break;
    case ContainerKind::disk:
        walk.directory = start_directory_walk(*container.disk, buffer, size);
        break;
    case ContainerKind::tape:
        walk.header_missing = !has_tape_signature(buffer, size);
        walk.tape = start_tape_walk(buffer, size);
        break;
    }
    return walk;
}

bool next_program(ProgramWalk& walk, Program& program) {
    switch (walk.container.kind) {
    case ContainerKind::prg:
    case ContainerKind::p00:
        if (walk.single_given)
            return false;
        walk.single_given = true;
        program = single_program(walk);
        return true;
    case ContainerKind::disk:
        while (unsigned char* entry = next_directory_entry(walk.directory))
            if (entry[ENTRY_FILE_TYPE] != 0) {
                program = disk_program(walk, entry);
                return true;
            }
        return false;
    case ContainerKind::tape:
        while (unsigned char* entry = next_tape_entry(walk.tape))
            if (entry[TAPE_ENTRY_TYPE] != 0) {
                program = tape_program(walk, entry);
                return true;
            }
        return false;
    }
    return false;
}
