// SHA-1 fingerprints of member contents, and the hexadecimal forms in which
// records show a SHA-1 and a CRC-32.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace mog {

constexpr std::size_t SHA1_SIZE = 20;
using Sha1 = std::array<unsigned char, SHA1_SIZE>;

Sha1 sha1_of(std::span<const unsigned char> bytes);

// 40 lower-case hexadecimal digits.
std::string sha1_hex(const Sha1& sha1);

// 8 lower-case hexadecimal digits, leading zeros kept.
std::string crc32_hex(std::uint32_t crc);

} // namespace mog
