// What the walks of every container kind share.
#pragma once

#include <span>

#include "image/walk_state.h"

namespace mog {

// A program stored with its load address first, as in a PRG file or a disk
// sector: the first BASIC line follows the address. Fewer than two bytes
// hold no load address and no line.
Program program_after_load_address(unsigned char* bytes, std::size_t available);

// The next directory entry in use, free slots (type byte 0) passed over,
// from a walk over every slot; null at the end.
unsigned char* next_entry_in_use(WalkState& walk, unsigned char* (*next_slot)(WalkState&), std::size_t type_byte);

// Gives the program the name stored in a field of the given size, padded
// at its end with either padding byte.
void set_name(Program& program, const unsigned char* name, std::size_t size, unsigned char padding,
              unsigned char other_padding);

// Notes something wrong with the container.
void add_notice(WalkState& walk, const Notice& notice);

// Copies what a file stored in one piece holds from the offset on: the
// file's bytes start at `start` in the walked bytes and run to their end.
std::size_t copy_from(const WalkState& walk, std::size_t start, std::size_t offset, std::span<unsigned char> into);

} // namespace mog
