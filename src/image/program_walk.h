// What the walks of every container kind share.
#pragma once

#include "mog/walk.h"

namespace mog {

// A program stored with its load address first, as in a PRG file or a disk
// sector: the first BASIC line follows the address. Fewer than two bytes
// hold no load address and no line.
Program program_after_load_address(unsigned char* bytes, std::size_t available);

// The next directory entry in use, free slots (type byte 0) passed over,
// from a walk over every slot; null at the end.
unsigned char* next_entry_in_use(ProgramWalk& walk, unsigned char* (*next_slot)(ProgramWalk&), std::size_t type_byte);

// Gives the program the name stored in a field of the given size, padded
// at its end with either padding byte.
void set_name(Program& program, const unsigned char* name, std::size_t size, unsigned char padding,
              unsigned char other_padding);

// Notes something wrong with the container.
void add_notice(ProgramWalk& walk, const Notice& notice);

} // namespace mog
