#include "image/tape_walk.h"

#include <cstring>

namespace {

constexpr std::size_t DIRECTORY_SIZE = 34; // the number of entries reserved, 2 bytes

} // namespace

bool has_tape_signature(const unsigned char* buffer, std::size_t size) {
    return size >= TAPE_HEADER_SIZE && std::memcmp(buffer, "C64", 3) == 0;
}

TapeWalk start_tape_walk(unsigned char* buffer, std::size_t size) {
    std::size_t entries = 0;
    if (size >= DIRECTORY_SIZE + 2)
        entries = buffer[DIRECTORY_SIZE] | (buffer[DIRECTORY_SIZE + 1] << 8);
    return TapeWalk{buffer, size, entries, 0};
}

unsigned char* next_tape_entry(TapeWalk& walk) {
    if (walk.next >= walk.entries)
        return nullptr;
    std::size_t at = TAPE_HEADER_SIZE + TAPE_ENTRY_SIZE * walk.next++;
    if (at > walk.size || walk.size - at < TAPE_ENTRY_SIZE) {
        walk.next = walk.entries; // later entries lie further out
        return nullptr;
    }
    return walk.buffer + at;
}

std::size_t tape_entry_offset(const unsigned char* entry) {
    const unsigned char* bytes = entry + TAPE_ENTRY_OFFSET;
    return static_cast<std::size_t>(bytes[0]) | static_cast<std::size_t>(bytes[1]) << 8 |
           static_cast<std::size_t>(bytes[2]) << 16 | static_cast<std::size_t>(bytes[3]) << 24;
}
