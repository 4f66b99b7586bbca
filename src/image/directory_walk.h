// The directory chain of a disk image, entry by entry.
#pragma once

#include <bitset>
#include <cstddef>

#include "image/disk_format.h"

constexpr std::size_t DIRECTORY_ENTRY_SIZE = 32;
constexpr int ENTRIES_PER_SECTOR = 8;

// Offsets within a directory entry.
constexpr std::size_t ENTRY_FILE_TYPE = 2; // 0 marks an empty slot
constexpr std::size_t ENTRY_FIRST_TRACK = 3;
constexpr std::size_t ENTRY_FIRST_SECTOR = 4;
constexpr std::size_t ENTRY_NAME = 5;
constexpr std::size_t ENTRY_NAME_SIZE = 16;

// Where a file's data begins in its sectors, after the link to the next one.
constexpr std::size_t SECTOR_DATA = 2;

struct DirectoryWalk {
    const DiskFormat* format;
    unsigned char* buffer;
    std::size_t size;
    unsigned char* sector;              // the directory sector being visited
    int next_entry;                     // entry of that sector to give next
    std::bitset<MAX_DISK_SECTORS> seen; // sectors already visited, to stop loops
    // Set when the walk stopped at a link it could not follow, rather than
    // at a link to track 0: the track and sector that link named.
    bool broken;
    int broken_track;
    int broken_sector;
};

DirectoryWalk start_directory_walk(const DiskFormat& format, unsigned char* buffer, std::size_t size);

// The next directory entry in chain order, or null at the chain's end. A
// link to a sector that is missing, outside the bytes read or already
// visited (the anchor counts as visited) ends the chain as broken.
unsigned char* next_directory_entry(DirectoryWalk& walk);
