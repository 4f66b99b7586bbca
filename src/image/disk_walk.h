// Disk images: the directory chain, entry by entry, and the program each
// entry names.
#pragma once

#include <cstddef>

#include "image/walk_state.h"

namespace mog {

constexpr std::size_t DIRECTORY_ENTRY_SIZE = 32;
constexpr std::size_t ENTRIES_PER_SECTOR = 8;

// Offsets within a directory entry.
constexpr std::size_t ENTRY_FILE_TYPE = 2; // 0 marks an empty slot
constexpr std::size_t ENTRY_FIRST_TRACK = 3;
constexpr std::size_t ENTRY_FIRST_SECTOR = 4;
constexpr std::size_t ENTRY_NAME = 5;
constexpr std::size_t ENTRY_NAME_SIZE = 16;
constexpr unsigned char SHIFTED_BLANK = 0xA0; // pads names

// Where a file's data begins in its sectors, after the link to the next one.
constexpr std::size_t SECTOR_DATA = 2;

// The next directory entry in chain order, empty slots included, or null at
// the chain's end. A link to a sector that is missing, outside the bytes
// read or already visited (the anchor counts as visited) ends the chain with
// a notice that the directory is broken there.
unsigned char* next_directory_entry(WalkState& walk);

} // namespace mog
