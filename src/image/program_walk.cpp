#include "image/program_walk.h"

#include "basic/little_endian.h"
#include "basic/sys_line.h"
#include "image/container_kind.h"

namespace mog {

Program program_after_load_address(unsigned char* bytes, std::size_t available) {
    Program program;
    if (available < LOAD_ADDRESS_SIZE) {
        program.line = bytes + available;
        return program;
    }
    program.has_load_address = true;
    program.load_address = read_le16(bytes);
    program.line = bytes + LOAD_ADDRESS_SIZE;
    program.line_size = available - LOAD_ADDRESS_SIZE;
    return program;
}

unsigned char* next_entry_in_use(ProgramWalk& walk, unsigned char* (*next_slot)(ProgramWalk&), std::size_t type_byte) {
    unsigned char* entry = next_slot(walk);
    while (entry != nullptr && entry[type_byte] == 0)
        entry = next_slot(walk);
    return entry;
}

void set_name(Program& program, const unsigned char* name, std::size_t size, unsigned char padding,
              unsigned char other_padding) {
    program.name = name;
    program.name_size = size;
    program.name_length = size;
    while (program.name_length > 0 &&
           (name[program.name_length - 1] == padding || name[program.name_length - 1] == other_padding))
        --program.name_length;
}

void add_notice(ProgramWalk& walk, const Notice& notice) {
    walk.notices.push_back(notice);
}

ProgramWalk start_program_walk(const Container& container, unsigned char* bytes, std::size_t size) {
    ProgramWalk walk;
    walk.container = container;
    walk.bytes = bytes;
    walk.size = size;
    // Without bytes there is nothing to walk: a null buffer yields nothing.
    walk.ended = container.kind == nullptr || (bytes == nullptr && size > 0);
    if (!walk.ended)
        container.kind->start(walk);
    return walk;
}

bool next_program(ProgramWalk& walk, Program& program) {
    if (walk.ended)
        return false;
    if (!walk.container.kind->next(walk, program)) {
        walk.ended = true;
        return false;
    }
    program.index = walk.given++;
    return true;
}

} // namespace mog
