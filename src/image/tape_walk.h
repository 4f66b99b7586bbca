// The directory of a T64 tape archive, entry by entry.
#pragma once

#include <cstddef>

constexpr std::size_t TAPE_HEADER_SIZE = 64; // the directory follows
constexpr std::size_t TAPE_ENTRY_SIZE = 32;

// Offsets within a directory entry.
constexpr std::size_t TAPE_ENTRY_TYPE = 0;   // 0 marks a free slot
constexpr std::size_t TAPE_ENTRY_START = 2;  // the load address
constexpr std::size_t TAPE_ENTRY_OFFSET = 8; // where the data lies in the file, 4 bytes
constexpr std::size_t TAPE_ENTRY_NAME = 16;
constexpr std::size_t TAPE_ENTRY_NAME_SIZE = 16;

struct TapeWalk {
    unsigned char* buffer;
    std::size_t size;
    std::size_t entries; // entries reserved, as the header says
    std::size_t next;
};

// True when the file is long enough for a header and starts with "C64".
bool has_tape_signature(const unsigned char* buffer, std::size_t size);

// The entries-in-use field is often wrong: the walk goes over every entry
// reserved that lies wholly within the bytes read.
TapeWalk start_tape_walk(unsigned char* buffer, std::size_t size);

// The next entry, free slots included, or null at the end.
unsigned char* next_tape_entry(TapeWalk& walk);

// Where an entry's data lies in the file.
std::size_t tape_entry_offset(const unsigned char* entry);
