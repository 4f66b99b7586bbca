// Zip-Code disk sets: one 35-track 1541 disk in four files, 1!NAME to 4!NAME,
// each holding one coded record per sector of its tracks. Read into a D64
// image, and written back changing only the records of changed sectors, so
// that a rewritten set differs from the old one where the disk does.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/disk_format.h"

namespace mog {

constexpr int ZIPCODE_PARTS = 4;
constexpr int ZIPCODE_SECTORS = static_cast<int>(D64_IMAGE_SIZE / SECTOR_SIZE); // 683, tracks 1-35

// 1 to 4 when the last component of the path starts with that digit and '!'
// and goes on after them ("disks/1!GAME", "2!Game.z64"); 0 for any other
// path, a 5! part of a 40-track disk among them. Both '/' and '\' end a
// folder, as on Windows.
int zipcode_part_number(std::string_view path);

// The path of the given part (1 to 4) of the set whose part the path names:
// the same folder and the same name after the digit. A path that names no
// part, or a part number outside 1 to 4, gives the path as it is.
std::string zipcode_part_path(std::string_view path, int part);

// The set's common name, as a path: the part's path without the digit and
// '!' ("disks/1!GAME" gives "disks/GAME"). A path that names no part is
// given as it is.
std::string zipcode_set_name(std::string_view path);

// The bytes of the four files, part 1 first; a file not found is given as
// no bytes.
using ZipcodeParts = std::array<std::span<const unsigned char>, ZIPCODE_PARTS>;

// Where a sector's record lies.
struct ZipcodeRecord {
    int part = 0;           // 1 to 4
    std::size_t offset = 0; // of its track byte in the part's bytes
    std::size_t size = 0;   // the track and sector bytes and the coded sector
};

struct ZipcodeDisk {
    std::vector<unsigned char> image;                     // D64_IMAGE_SIZE bytes: tracks 1-35, no error bytes
    std::array<unsigned char, 2> id{};                    // the disk ID after part 1's load address
    std::array<ZipcodeRecord, ZIPCODE_SECTORS> records{}; // by sector_index(D64, track, sector)
};

enum class ZipcodeFault {
    missing_part,         // no bytes
    wrong_load_address,   // not $03FE in part 1, not $0400 in the others
    cut_short,            // the part ends inside its load address and ID or inside a record
    track_outside_part,   // a record for a track that another part holds, or that no disk has
    sector_outside_track, // a record for a sector the track does not have
    sector_twice,         // a second record for a sector
    unknown_method,       // the top two bits of the track byte both set
    sector_overflows,     // the run-length coded bytes give more than 256 bytes
    sector_short,         // they give fewer, or end inside a run
    sector_missing,       // the part ends without a record for a sector of its tracks
    trailing_bytes,       // bytes after the records of all the part's sectors
};

struct ZipcodeProblem {
    ZipcodeFault fault = ZipcodeFault::missing_part;
    int part = 0;           // 1 to 4
    std::size_t offset = 0; // in the part: of the record at fault, of the first byte too many, or the part's end
    int track = 0;          // of the record at fault or the missing sector, as coded; 0 for faults of no record
    int sector = 0;
};

struct ZipcodeDecoded {
    ZipcodeDisk disk; // its image is empty when there is a problem
    std::optional<ZipcodeProblem> problem;
};

// What is wrong with the set, naming the part as given ("Zip-Code set
// damaged: 3!GAME holds track 17 sector 4 twice.").
std::string describe_zipcode_problem(const ZipcodeProblem& problem, std::string_view part);

// The disk a set holds. Every part must hold each sector of its tracks
// exactly once, in any order, and nothing else; the first problem met ends
// the decoding, a missing part before any other. Any bytes are safe to give.
ZipcodeDecoded decode_zipcode_set(const ZipcodeParts& parts);

// The indexes of the D64 sectors (as sector_index counts them) whose bytes
// differ between the two images; a sector that only one of them holds
// whole differs too.
std::vector<int> differing_sectors(std::span<const unsigned char> before, std::span<const unsigned char> after);

// The four parts rewritten for a new disk: the records of the given sectors
// coded again from new_disk, each with the smallest coding of three (one
// fill byte when the sector holds one value; run-length coded when that is
// shorter than the 256 bytes as they are; the bytes as they are otherwise),
// every other byte kept, and the records in their old order. Decoded must
// be what the parts decoded to. A part that comes out the same as before
// is given as no value. Sector indexes outside the disk, or sectors
// new_disk does not hold whole, keep their records.
std::array<std::optional<std::vector<unsigned char>>, ZIPCODE_PARTS>
encode_changed(const ZipcodeParts& parts, const ZipcodeDisk& decoded, std::span<const unsigned char> new_disk,
               std::span<const int> changed_sectors);

} // namespace mog
