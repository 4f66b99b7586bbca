// T64 tape archives: the directory, entry by entry, and the program each
// entry in use points to.
#pragma once

#include <cstddef>

namespace mog {

constexpr std::size_t TAPE_HEADER_SIZE = 64; // the directory follows
constexpr std::size_t TAPE_ENTRY_SIZE = 32;
constexpr std::size_t TAPE_DIRECTORY_SIZE = 34; // the number of entries reserved, 2 bytes

// Offsets within a directory entry.
constexpr std::size_t TAPE_ENTRY_TYPE = 0;   // 0 marks a free slot
constexpr std::size_t TAPE_ENTRY_START = 2;  // the load address
constexpr std::size_t TAPE_ENTRY_OFFSET = 8; // where the data lies in the file, 4 bytes
constexpr std::size_t TAPE_ENTRY_NAME = 16;
constexpr std::size_t TAPE_ENTRY_NAME_SIZE = 16;

// True when the file is long enough for a header and starts with "C64".
bool has_tape_signature(const unsigned char* bytes, std::size_t size);

} // namespace mog
