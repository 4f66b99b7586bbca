// Lays out disk images, tapes and programs for the tests, byte by byte.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

constexpr std::size_t IMAGE_SIZE = 174848;
constexpr std::size_t IMAGE_SIZE_40_TRACKS = 196608;
constexpr std::size_t ERROR_BYTES_35_TRACKS = 683;

// Byte offset of a sector, computed from the zone rule independently of the tool.
std::size_t sector_offset(int track, int sector);

// A formatted-looking image: the anchor at 18/0 links to an empty first
// directory sector at 18/1.
std::string blank_image(std::size_t size = IMAGE_SIZE);

// Sets a sector's link bytes.
void link_sector(std::string& image, int track, int sector, int next_track, int next_sector);

// Fills directory entry slot (0 to 7) of a directory sector. The name is
// padded with shifted blanks to 16 bytes.
void put_entry(std::string& image, int track, int sector, int slot, int file_type, int file_track, int file_sector,
               const std::string& name);

// Writes program bytes after the link of a data sector.
void put_program(std::string& image, int track, int sector, const std::string& program);

// Writes a whole file along a chain of sectors of a D64, 254 bytes a
// sector, each linked to the next; the last link names the last byte used.
void put_file(std::string& image, const std::vector<std::pair<int, int>>& sectors, const std::string& file);

// A program that starts with "<line> SYS<text>" stored at the load address.
std::string sys_program(unsigned line_number, const std::string& text = "2061", unsigned load_address = 0x0801);

// The two line-number bytes of a start line, little-endian.
std::string line_bytes(unsigned line_number);

// File type bytes of closed PRG and SEQ files.
constexpr int FILE_PRG = 0x82;
constexpr int FILE_SEQ = 0x81;

// One entry of a T64 tape's directory and the data it points to.
struct TapeEntry {
    int type;              // 1 for a normal file, 0 for a free slot
    unsigned load_address; // as the directory stores it
    std::string name;      // padded with blanks to 16 bytes
    std::string data;      // the program without its load address
    long offset = -1;      // where the data lies; -1: after the previous data
};

// A T64 tape: the signature, a directory of `reserved` entries (at least
// the given ones; the entries-in-use field counts those given), then the
// data of each entry in turn.
std::string tape_image(const std::vector<TapeEntry>& entries, std::size_t reserved = 0,
                       const std::string& signature = "C64 tape image file");
