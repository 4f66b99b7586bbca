// deflate.h for a build without zlib (the web page): no inflater and no
// deflater, so zip and gzip members read as unsupported; the CRC-32 is
// worked out here, a byte at a time from a table.
#include "sources/deflate.h"

#include <array>

namespace mog {

namespace {

constexpr std::uint32_t CRC32_POLYNOMIAL = 0xEDB88320;

constexpr std::array<std::uint32_t, 256> crc32_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ CRC32_POLYNOMIAL : crc >> 1;
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CRC32_TABLE = crc32_table();

} // namespace

Inflated inflate_raw(std::span<const unsigned char>, Bytes&, std::size_t) {
    return {InflateResult::unsupported, 0};
}

DeflateResult deflate_raw(std::span<const unsigned char>, int, Bytes&) {
    return DeflateResult::unsupported;
}

std::uint32_t crc32_of(std::span<const unsigned char> bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const unsigned char byte : bytes)
        crc = CRC32_TABLE[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}

} // namespace mog
