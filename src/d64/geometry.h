// Tracks, sectors and the directory chain of a 1541 disk image.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

constexpr std::size_t D64_IMAGE_SIZE = 174848; // 35 tracks, 683 sectors
constexpr std::size_t SECTOR_SIZE = 256;
constexpr int MAX_TRACK = 40;    // the 40-track layout
constexpr int MAX_SECTORS = 768; // sectors on 40 tracks

constexpr int DIRECTORY_ANCHOR_TRACK = 18;
constexpr int DIRECTORY_ANCHOR_SECTOR = 0;
constexpr std::size_t DIRECTORY_ANCHOR = 91392;

constexpr std::size_t DIRECTORY_ENTRY_SIZE = 32;
constexpr int ENTRIES_PER_SECTOR = 8;

// Offsets within a directory entry.
constexpr std::size_t ENTRY_FILE_TYPE = 2;
constexpr std::size_t ENTRY_FIRST_TRACK = 3;
constexpr std::size_t ENTRY_FIRST_SECTOR = 4;
constexpr std::size_t ENTRY_NAME = 5;
constexpr std::size_t ENTRY_NAME_SIZE = 16;

// Where a program's stored data begins in its sectors, after the link.
constexpr std::size_t SECTOR_DATA = 2;

// Number of sectors on a track from 1 to 40, 0 for any other track.
int sectors_on_track(int track);

// Byte offset of a sector, for tracks 1 to 40 and sectors on that track.
std::uint32_t track_offset(int track, int sector);

// The sector if it exists on a 40-track disk and lies wholly within the
// bytes read; null otherwise.
unsigned char* find_sector(unsigned char* buffer, std::size_t size, int track, int sector);

// A walk over the directory chain, entry by entry.
struct DirectoryWalk {
    unsigned char* buffer;
    std::size_t size;
    unsigned char* sector;         // the directory sector being visited
    int next_entry;                // entry of that sector to give next
    std::bitset<MAX_SECTORS> seen; // sectors already visited, to stop loops
};

DirectoryWalk start_directory_walk(unsigned char* buffer, std::size_t size);

// The next directory entry in chain order, or null at the chain's end. A
// link to a sector that is missing, outside the bytes read or already
// visited ends the chain.
unsigned char* next_directory_entry(DirectoryWalk& walk);
