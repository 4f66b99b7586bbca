// gzip files holding one image (game.d64.gz): the header's fields, the
// content, and the file written again around new content with its header
// kept byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "mog/bytes.h"

namespace mog {

// Header flags.
constexpr unsigned GZIP_FLAG_TEXT = 1u << 0;
constexpr unsigned GZIP_FLAG_HEADER_CRC = 1u << 1;
constexpr unsigned GZIP_FLAG_EXTRA = 1u << 2;
constexpr unsigned GZIP_FLAG_NAME = 1u << 3;
constexpr unsigned GZIP_FLAG_COMMENT = 1u << 4;

struct GzipHeader {
    unsigned flags = 0;
    std::uint32_t mtime = 0;  // seconds since 1970, 0 for none
    unsigned extra_flags = 0; // XFL: 2 best compression, 4 fastest
    unsigned os = 0;
    std::string name;     // FNAME's bytes without the closing NUL; shown, never used as a path
    std::string comment;  // FCOMMENT's bytes
    std::size_t size = 0; // the header's length: the deflate stream starts there
};

enum class GzipReadResult {
    ok,
    not_gzip,        // no gzip signature
    too_large,       // the content would become larger than the limit
    corrupt,         // header or stream cut or damaged, or a size in the trailer that differs
    crc_mismatch,    // the content does not give the trailer's CRC-32; it is given all the same
    several_members, // another gzip member follows the first: one file's content is not told
    trailing_bytes,  // other bytes follow the first member
    unsupported,     // another method, reserved flags, or no inflater in this build
};

struct GzipRead {
    GzipReadResult result = GzipReadResult::not_gzip;
    GzipHeader header; // set once the header was read
};

// Reads the one member of file into into (replaced), never more than
// limit bytes; into is left empty unless ok or crc_mismatch.
GzipRead read_gzip(std::span<const unsigned char> file, Bytes& into, std::size_t limit);

enum class GzipWriteResult {
    ok,
    unreadable_header,  // original does not start with a gzip header this unit reads
    compression_failed, // zlib gave up
    unsupported,        // no deflater in this build
};

// Writes into out (replaced; empty on failure) a gzip file of content with
// original's header bytes (a header CRC worked out again), deflated at the
// level the header's XFL names (best, fastest, else zlib's default), and
// the new CRC-32 and size.
GzipWriteResult write_gzip(std::span<const unsigned char> original, std::span<const unsigned char> content, Bytes& out);

} // namespace mog
