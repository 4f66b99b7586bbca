// Writing a zip archive back with some members' contents replaced, so that
// only what changed changes.
#pragma once

#include <cstddef>
#include <span>

#include "mog/bytes.h"
#include "sources/zip_archive.h"

namespace mog {

struct ZipReplacement {
    std::size_t index = 0; // the member's, in the directory
    std::span<const unsigned char> content;
};

enum class ZipWriteResult {
    ok,
    unreadable_archive,  // the directory has a problem, or does not match the archive: members would be lost
    unreadable_member,   // a member whose bytes cannot be told apart, so cannot be copied
    bad_replacement,     // an index out of range or given twice, or a member that cannot be read
    overlapping_members, // members that share bytes: one cannot change alone
    needs_zip64,         // a size or offset no longer fits where the archive keeps it
    compression_failed,  // zlib gave up
    unsupported,         // no deflater in this build
};

// Writes into out (replaced; left empty on failure) archive, of which
// directory was read, with the replaced members' contents, each given at
// most once. Everything else is copied byte for byte: the
// bytes before the first member (a self-extractor), each member's local
// header, data and data descriptor, the bytes between members, and the
// central records, end records, comment and whatever follows; the only
// bytes that differ in them are the offsets of what moved.
//
// A replaced member keeps its header fields, extra fields and comment,
// with its new CRC-32 and sizes in the local header (where the header held
// them rather than leaving them to a data descriptor), the central record,
// its data descriptor (in the form it had; none where none was found) and
// ZIP64 extra fields. It is stored again if it was stored, else deflated at
// the level its flags name: 9 for maximum, 1 for fast and super fast, else 6.
ZipWriteResult write_zip(std::span<const unsigned char> archive, const ZipDirectory& directory,
                         std::span<const ZipReplacement> replacements, Bytes& out);

} // namespace mog
