// Numbers as Commodore files, zip and gzip store them: low byte first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mog {

inline unsigned read_le16(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}

inline std::uint32_t read_le32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(read_le16(bytes)) | static_cast<std::uint32_t>(read_le16(bytes + 2)) << 16;
}

inline std::uint64_t read_le64(const unsigned char* bytes) {
    return static_cast<std::uint64_t>(read_le32(bytes)) | static_cast<std::uint64_t>(read_le32(bytes + 4)) << 32;
}

inline void write_le16(unsigned char* bytes, unsigned value) {
    bytes[0] = static_cast<unsigned char>(value & 0xFF);
    bytes[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

inline void write_le32(unsigned char* bytes, std::uint32_t value) {
    write_le16(bytes, value & 0xFFFF);
    write_le16(bytes + 2, value >> 16);
}

inline void write_le64(unsigned char* bytes, std::uint64_t value) {
    write_le32(bytes, static_cast<std::uint32_t>(value));
    write_le32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
}

} // namespace mog
