// Zip archives laid out field by field for the tests, as archivers write
// them, with the flaws a test asks for.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "mog/bytes.h"

struct ZipEntry {
    std::string name = "";
    std::string content = "";
    unsigned method = 8; // deflated; any other than 8 is stored as it is
    unsigned flags = 0;
    std::string extra = ""; // in both headers, before any ZIP64 field
    std::string comment = "";
    unsigned descriptor = 0;         // 12 (no signature) or 16 (signed) adds a data descriptor
    bool zip64 = false;              // sizes and offset in ZIP64 extra fields
    std::uint32_t crc_flip = 0;      // xored into the recorded CRC-32
    std::uint64_t recorded_size = 0; // claimed instead of the content's size when not 0
};

struct ZipLayout {
    std::string prefix = ""; // before the archive, its offsets not moved
    std::string comment = "";
    bool zip64 = false;       // ZIP64 end record and locator
    std::string padding = ""; // after each member
    unsigned disk = 0;        // the end record's disk numbers
};

std::string zip_of(const std::vector<ZipEntry>& entries, const ZipLayout& layout = {});

// The bytes with some of them overwritten from at on; a NUL in with counts.
template <std::size_t N> std::string patched(std::string bytes, std::size_t at, const char (&with)[N]) {
    std::copy(with, with + N - 1, bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

// Text that zlib deflates differently at levels 1, 6 and 9.
inline std::string varied_text() {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += std::to_string(i) + " SYS" + std::to_string(i * i % 1000) + ":";
    return text;
}

inline std::span<const unsigned char> span_of(const std::string& bytes) {
    return {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

inline std::string text_of(const mog::Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// The content as a raw deflate stream at the level.
std::string deflated(const std::string& content, int level = 6);
