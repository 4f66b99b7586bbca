#include "sources/gzip_file.h"

#include <algorithm>

#include "basic/little_endian.h"
#include "sources/deflate.h"

namespace mog {

namespace {

constexpr unsigned char GZIP_MAGIC[2] = {0x1F, 0x8B};
constexpr unsigned GZIP_DEFLATE_METHOD = 8;
constexpr unsigned GZIP_RESERVED_FLAGS = 0xE0;
constexpr std::size_t FIXED_HEADER_SIZE = 10;
constexpr std::size_t HEADER_METHOD = 2;
constexpr std::size_t HEADER_FLAGS = 3;
constexpr std::size_t HEADER_MTIME = 4;
constexpr std::size_t HEADER_EXTRA_FLAGS = 8;
constexpr std::size_t HEADER_OS = 9;
constexpr std::size_t HEADER_CRC_SIZE = 2;
constexpr std::size_t TRAILER_SIZE = 8; // CRC-32, then the size modulo 2^32
constexpr unsigned BEST_COMPRESSION = 2;
constexpr unsigned FASTEST_COMPRESSION = 4;

bool has_magic(std::span<const unsigned char> bytes) {
    return bytes.size() >= 2 && bytes[0] == GZIP_MAGIC[0] && bytes[1] == GZIP_MAGIC[1];
}

// The text from at up to its NUL, at moved past the NUL; false when the
// file ends first.
bool read_text(std::span<const unsigned char> file, std::size_t& at, std::string& text) {
    const auto end = std::find(file.begin() + static_cast<std::ptrdiff_t>(at), file.end(), 0);
    if (end == file.end())
        return false;
    const std::size_t length = static_cast<std::size_t>(end - file.begin()) - at;
    text.assign(reinterpret_cast<const char*>(file.data() + at), length);
    at += length + 1;
    return true;
}

// Reads the header into header; ok, not_gzip, corrupt or unsupported. The
// header CRC, if there is one, is checked when asked.
GzipReadResult read_header(std::span<const unsigned char> file, GzipHeader& header, bool check_crc) {
    if (!has_magic(file))
        return GzipReadResult::not_gzip;
    if (file.size() < FIXED_HEADER_SIZE)
        return GzipReadResult::corrupt;
    header.flags = file[HEADER_FLAGS];
    if (file[HEADER_METHOD] != GZIP_DEFLATE_METHOD || (header.flags & GZIP_RESERVED_FLAGS) != 0)
        return GzipReadResult::unsupported;
    header.mtime = read_le32(file.data() + HEADER_MTIME);
    header.extra_flags = file[HEADER_EXTRA_FLAGS];
    header.os = file[HEADER_OS];
    std::size_t at = FIXED_HEADER_SIZE;
    if ((header.flags & GZIP_FLAG_EXTRA) != 0) {
        if (file.size() - at < 2 || file.size() - at - 2 < read_le16(file.data() + at))
            return GzipReadResult::corrupt;
        at += 2 + read_le16(file.data() + at);
    }
    if ((header.flags & GZIP_FLAG_NAME) != 0 && !read_text(file, at, header.name))
        return GzipReadResult::corrupt;
    if ((header.flags & GZIP_FLAG_COMMENT) != 0 && !read_text(file, at, header.comment))
        return GzipReadResult::corrupt;
    if ((header.flags & GZIP_FLAG_HEADER_CRC) != 0) {
        if (file.size() - at < HEADER_CRC_SIZE)
            return GzipReadResult::corrupt;
        if (check_crc && read_le16(file.data() + at) != (crc32_of(file.first(at)) & 0xFFFF))
            return GzipReadResult::corrupt;
        at += HEADER_CRC_SIZE;
    }
    header.size = at;
    return GzipReadResult::ok;
}

GzipReadResult read_content(std::span<const unsigned char> file, const GzipHeader& header, Bytes& into,
                            std::size_t limit) {
    // Room for the size the trailer gives, so that a buffer used before
    // takes the content without growing; the limit holds whatever it says.
    if (file.size() >= header.size + TRAILER_SIZE)
        into.reserve(std::min<std::size_t>(read_le32(file.data() + file.size() - 4), limit));
    const Inflated inflated = inflate_raw(file.subspan(header.size), into, limit);
    switch (inflated.result) {
    case InflateResult::ok:
        break;
    case InflateResult::too_large:
        return GzipReadResult::too_large;
    case InflateResult::corrupt:
        return GzipReadResult::corrupt;
    case InflateResult::unsupported:
        return GzipReadResult::unsupported;
    }
    const std::size_t trailer = header.size + inflated.consumed;
    if (file.size() - trailer < TRAILER_SIZE)
        return GzipReadResult::corrupt;
    const auto after = file.subspan(trailer + TRAILER_SIZE);
    if (!after.empty())
        return has_magic(after) ? GzipReadResult::several_members : GzipReadResult::trailing_bytes;
    if (read_le32(file.data() + trailer + 4) != static_cast<std::uint32_t>(into.size()))
        return GzipReadResult::corrupt;
    return read_le32(file.data() + trailer) == crc32_of(into) ? GzipReadResult::ok : GzipReadResult::crc_mismatch;
}

int deflate_level(unsigned extra_flags) {
    if (extra_flags == BEST_COMPRESSION)
        return BEST_DEFLATE_LEVEL;
    if (extra_flags == FASTEST_COMPRESSION)
        return FASTEST_DEFLATE_LEVEL;
    return DEFAULT_DEFLATE_LEVEL;
}

} // namespace

GzipRead read_gzip(std::span<const unsigned char> file, Bytes& into, std::size_t limit) {
    into.clear();
    GzipRead read;
    read.result = read_header(file, read.header, true);
    if (read.result == GzipReadResult::ok)
        read.result = read_content(file, read.header, into, limit);
    if (read.result != GzipReadResult::ok && read.result != GzipReadResult::crc_mismatch)
        into.clear();
    return read;
}

GzipWriteResult write_gzip(std::span<const unsigned char> original, std::span<const unsigned char> content,
                           Bytes& out) {
    out.clear();
    GzipHeader header;
    if (read_header(original, header, false) != GzipReadResult::ok)
        return GzipWriteResult::unreadable_header;
    out.assign(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(header.size));
    if ((header.flags & GZIP_FLAG_HEADER_CRC) != 0) {
        const std::size_t crc_at = header.size - HEADER_CRC_SIZE;
        write_le16(out.data() + crc_at, crc32_of(std::span(out).first(crc_at)) & 0xFFFF);
    }
    const DeflateResult deflated = deflate_raw(content, deflate_level(header.extra_flags), out);
    if (deflated != DeflateResult::ok) {
        out.clear();
        return deflated == DeflateResult::unsupported ? GzipWriteResult::unsupported
                                                      : GzipWriteResult::compression_failed;
    }
    unsigned char trailer[TRAILER_SIZE];
    write_le32(trailer, crc32_of(content));
    write_le32(trailer + 4, static_cast<std::uint32_t>(content.size()));
    out.insert(out.end(), trailer, trailer + TRAILER_SIZE);
    return GzipWriteResult::ok;
}

} // namespace mog
