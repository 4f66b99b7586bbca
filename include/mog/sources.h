// Files that hold containers: a container file itself, a zip of container
// files, a gzip of one, or a Zip-Code set of four files that holds a disk.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mog/bytes.h"
#include "mog/container.h"
#include "mog/walk.h"

namespace mog {

enum class SourceKind {
    container, // a PRG, P00, D64, D71, D81 or T64 file
    zip,       // members in any folder inside it, of the kinds mog reads
    gzip,      // one file inside, of the kind its name less ".gz" says
    zipcode,   // 1!NAME to 4!NAME: one D64 disk
};

struct SourceName {
    SourceKind kind = SourceKind::container;
    // The container of a container file, of a gzip's one file, and the D64
    // of a Zip-Code set; none for a zip, whose members each have their own.
    std::optional<Container> container;
};

// What a name stands for, from its ending (letter case ignored): ".zip";
// ".gz" after a container's name (game.d64.gz); a part name 1!NAME to 4!NAME
// that is no container's name; a container's name. Nothing for any other.
std::optional<SourceName> source_for_name(std::string_view name);

// Error codes of an archive that cannot be read, beside errno values (see
// FileError).
constexpr int NOT_A_ZIP = -20;
constexpr int NOT_A_GZIP = -21;
constexpr int ARCHIVE_DAMAGED = -22;
constexpr int ARCHIVE_SPLIT = -23;         // a zip over several volumes
constexpr int ARCHIVE_OF_SEVERAL = -24;    // a gzip of more than one file
constexpr int ARCHIVE_UNSUPPORTED = -25;   // no inflater in this build
constexpr int INFLATED_TOO_LARGE = -26;    // more than MAX_FILE_SIZE once inflated
constexpr int ARCHIVE_NOT_WRITTEN = -27;   // an archive that cannot be written back as it was

// A member of a zip or the one file of a gzip, of a kind mog reads.
struct ArchiveMember {
    std::size_t index = 0; // in the archive's directory
    std::string name;      // as stored (shown, never used as a path); a gzip's: the archive's name less ".gz"
    Container container;
    Bytes bytes; // its content; empty when it cannot be read
    // Why it is kept as it is: it cannot be read (encrypted, another method,
    // damaged, too large), or its content does not give its CRC-32.
    std::optional<Notice> problem;
};

struct ArchiveLayout; // what writing the archive back needs

struct OpenedArchive {
    SourceKind kind = SourceKind::zip;
    int error = 0;                      // the archive cannot be read: a FileError code
    std::vector<ArchiveMember> members; // in the archive's order; members of other kinds are left out
    std::vector<Notice> notices;        // about the whole archive
    std::shared_ptr<const ArchiveLayout> layout;
};

// Reads a zip's or a gzip's members of the kinds mog reads; a member is
// held to MAX_FILE_SIZE bytes while it is inflated. Members are read into
// buffers taken from reuse where it has any (a loop over many archives
// gives them back and maps no new memory for each).
OpenedArchive open_archive(SourceKind kind, std::string_view name, std::span<const unsigned char> bytes,
                           std::vector<Bytes>* reuse = nullptr);

// The archive's bytes with the given members' contents in place of theirs
// and everything else as it was; gives 0 or a FileError code.
struct MemberContent {
    std::size_t position; // in OpenedArchive::members
    std::span<const unsigned char> bytes;
};
int rewrite_archive(const OpenedArchive& archive, std::span<const unsigned char> bytes,
                    std::span<const MemberContent> contents, Bytes& out);

// A Zip-Code set: the D64 its four parts hold, part 1 first.
struct DiskSetLayout; // where each sector's record lies
struct DiskSet {
    Bytes disk;        // empty when the set cannot be read
    std::string error; // why not, naming the part ("Zip-Code set damaged: 3!GAME ...")
    std::shared_ptr<const DiskSetLayout> layout;
};
using DiskSetParts = std::array<std::span<const unsigned char>, 4>;

// The set of the given parts; names are the parts' names, for the error.
DiskSet open_disk_set(const DiskSetParts& parts, const std::array<std::string, 4>& names);

// The parts again with the new disk: each changed part's new bytes (only the
// records of changed sectors coded again), nothing for a part that stays.
std::array<std::optional<Bytes>, 4> rewrite_disk_set(const DiskSet& set, const DiskSetParts& parts,
                                                     std::span<const unsigned char> disk);

// The path of part 1 to 4 of the set whose part the path names, and the
// number of the part a path names (0 for none).
std::string disk_set_part(std::string_view path, int part);
int disk_set_part_number(std::string_view path);

// How listings name a member: "archive.zip!disks/game.d64".
std::string member_path(std::string_view archive, std::string_view member);

// CRC-32 and SHA-1 of bytes, as the records show them: 8 and 40 lower-case
// hexadecimal digits.
std::string crc32_text(std::span<const unsigned char> bytes);
std::string sha1_text(std::span<const unsigned char> bytes);

} // namespace mog
