// Zip archives as collections keep them (GameBase: one game per zip, its
// files in any folder): the central directory as a list of members, and a
// member's content. Archives are hostile: every offset and size is checked
// against the bytes given, and no size from a header is trusted to bound
// what inflating gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "mog/bytes.h"

namespace mog {

// The methods this unit reads and writes; others (bzip2 is 12) are listed.
constexpr unsigned ZIP_STORED = 0;
constexpr unsigned ZIP_DEFLATED = 8;

// The most members listed; more are not read.
constexpr std::size_t MOST_ZIP_MEMBERS = 65535;

// Why a member's content cannot be read.
enum class ZipMemberProblem {
    none,
    other_volume,     // it lies on another disk of a multi-volume archive
    bad_local_header, // no local header where the directory says, or one cut short
    data_outside,     // its data runs past where the directory starts
    encrypted,        // flag bit 0, or bit 6 (strong encryption)
    method,           // neither stored nor deflated
};

struct ZipMember {
    std::size_t index = 0; // in central-directory order, from 0
    // The name's bytes as stored: they may hold "..", a leading "/", a drive
    // or a NUL, so they are shown and never used as a path.
    std::string name;
    unsigned method = ZIP_STORED;
    unsigned flags = 0; // the general-purpose bits
    bool encrypted = false;
    std::uint32_t crc32 = 0;
    // As the central record holds them, ZIP64 values taken in.
    std::uint64_t compressed_size = 0;
    std::uint64_t uncompressed_size = 0;
    std::uint64_t local_header_offset = 0;
    std::uint32_t disk = 0;
    // The central record: where it starts in the archive, and its length
    // with name, extra field and comment.
    std::size_t central_offset = 0;
    std::size_t central_size = 0;
    // Where the local header and the data lie in the archive, and the length
    // of the data descriptor found after the data: 0 for none, 12 or 20
    // (32 or 64-bit sizes), 16 or 24 with its signature. Unset for a member
    // on another volume or without a sound local header.
    std::size_t local_offset = 0;
    std::size_t data_offset = 0;
    std::size_t descriptor_size = 0;
    ZipMemberProblem problem = ZipMemberProblem::none;
};

// Why the archive as a whole cannot be read, or not wholly.
enum class ZipArchiveProblem {
    none,
    not_zip,           // no end-of-central-directory record
    directory_outside, // the directory is said to lie outside the file
    directory_damaged, // a record cut short or unsigned, a ZIP64 value missing, a count that differs
    multi_volume,      // more than one disk: the members are listed if the directory is here, all on other_volume
    too_many_members,  // more than MOST_ZIP_MEMBERS: the first ones are listed
};

struct ZipDirectory {
    ZipArchiveProblem problem = ZipArchiveProblem::none;
    std::vector<ZipMember> members; // none for not_zip, directory_outside and directory_damaged
    std::string comment;            // the archive comment's bytes
    // What writing the archive back needs. shift is added to every offset
    // the archive records: bytes put in front of it (a self-extractor)
    // without its offsets being moved.
    std::size_t shift = 0;
    std::size_t directory_offset = 0;
    std::size_t directory_size = 0;
    std::size_t end_offset = 0;
    bool zip64 = false; // it has a ZIP64 end record and locator
    std::size_t zip64_end_offset = 0;
    std::size_t zip64_locator_offset = 0;
};

// Lists the members of archive. The end record is looked for in the last
// 65,557 bytes, from the end; its comment may be followed by other bytes.
ZipDirectory read_zip_directory(std::span<const unsigned char> archive);

enum class ZipReadResult {
    ok,
    too_large,    // the content is, or would become while inflating, larger than the limit
    corrupt,      // cut, not a deflate stream, or not of the recorded size
    crc_mismatch, // the content does not give the recorded CRC-32; it is given all the same
    unsupported,  // encrypted, another method, on another volume, or no inflater in this build
};

// Reads the content of member, one of read_zip_directory(archive)'s, into
// into (replaced), never more than limit bytes; into is left empty unless
// ok or crc_mismatch.
ZipReadResult read_zip_member(std::span<const unsigned char> archive, const ZipMember& member, Bytes& into,
                              std::size_t limit);

} // namespace mog
