// The records of a zip archive, field by field, and the ZIP64 extra field
// that holds the sizes and offsets too large for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace mog {

constexpr std::uint32_t ZIP_LOCAL_SIGNATURE = 0x04034B50;
constexpr std::uint32_t ZIP_CENTRAL_SIGNATURE = 0x02014B50;
constexpr std::uint32_t ZIP_END_SIGNATURE = 0x06054B50;
constexpr std::uint32_t ZIP64_END_SIGNATURE = 0x06064B50;
constexpr std::uint32_t ZIP64_LOCATOR_SIGNATURE = 0x07064B50;
constexpr std::uint32_t ZIP_DESCRIPTOR_SIGNATURE = 0x08074B50;
// A signature of the directory itself may close it.
constexpr std::uint32_t ZIP_DIRECTORY_SIGNATURE = 0x05054B50;
constexpr std::size_t ZIP_SIGNATURE_SIZE = 4;

// A local header, then the name, the extra field and the data.
constexpr std::size_t LOCAL_HEADER_SIZE = 30;
constexpr std::size_t LOCAL_CRC = 14;
constexpr std::size_t LOCAL_COMPRESSED_SIZE = 18;
constexpr std::size_t LOCAL_UNCOMPRESSED_SIZE = 22;
constexpr std::size_t LOCAL_NAME_LENGTH = 26;
constexpr std::size_t LOCAL_EXTRA_LENGTH = 28;

// A central-directory record, then the name, the extra field and the comment.
constexpr std::size_t CENTRAL_HEADER_SIZE = 46;
constexpr std::size_t CENTRAL_FLAGS = 8;
constexpr std::size_t CENTRAL_METHOD = 10;
constexpr std::size_t CENTRAL_CRC = 16;
constexpr std::size_t CENTRAL_COMPRESSED_SIZE = 20;
constexpr std::size_t CENTRAL_UNCOMPRESSED_SIZE = 24;
constexpr std::size_t CENTRAL_NAME_LENGTH = 28;
constexpr std::size_t CENTRAL_EXTRA_LENGTH = 30;
constexpr std::size_t CENTRAL_COMMENT_LENGTH = 32;
constexpr std::size_t CENTRAL_DISK = 34;
constexpr std::size_t CENTRAL_LOCAL_OFFSET = 42;

// The end-of-central-directory record, then the archive comment.
constexpr std::size_t END_RECORD_SIZE = 22;
constexpr std::size_t END_DISK = 4;
constexpr std::size_t END_DIRECTORY_DISK = 6;
constexpr std::size_t END_MEMBERS_HERE = 8;
constexpr std::size_t END_MEMBERS = 10;
constexpr std::size_t END_DIRECTORY_SIZE = 12;
constexpr std::size_t END_DIRECTORY_OFFSET = 16;
constexpr std::size_t END_COMMENT_LENGTH = 20;
constexpr std::size_t LONGEST_ZIP_COMMENT = 65535;

// The ZIP64 end record (its fixed part) and the locator right before the end record.
constexpr std::size_t ZIP64_END_SIZE = 56;
constexpr std::size_t ZIP64_END_DISK = 16;
constexpr std::size_t ZIP64_END_DIRECTORY_DISK = 20;
constexpr std::size_t ZIP64_END_MEMBERS_HERE = 24;
constexpr std::size_t ZIP64_END_MEMBERS = 32;
constexpr std::size_t ZIP64_END_DIRECTORY_SIZE = 40;
constexpr std::size_t ZIP64_END_DIRECTORY_OFFSET = 48;
constexpr std::size_t ZIP64_LOCATOR_SIZE = 20;
constexpr std::size_t ZIP64_LOCATOR_END_OFFSET = 8;
constexpr std::size_t ZIP64_LOCATOR_DISKS = 16;

// A data descriptor: an optional signature, the CRC-32 and both sizes, in
// 4 bytes each or, for ZIP64 members, 8.
constexpr std::size_t DESCRIPTOR_SIZE_32 = 12;
constexpr std::size_t DESCRIPTOR_SIZE_64 = 20;

// A 32-bit size or offset, or a 16-bit disk number, of all ones says the
// ZIP64 extra field holds the value.
constexpr std::uint32_t ZIP64_MARK = 0xFFFFFFFF;
constexpr unsigned ZIP64_DISK_MARK = 0xFFFF;

// General-purpose flag bits.
constexpr unsigned ZIP_FLAG_ENCRYPTED = 1u << 0;
constexpr unsigned ZIP_FLAG_DESCRIPTOR = 1u << 3;
constexpr unsigned ZIP_FLAG_STRONG_ENCRYPTION = 1u << 6;
constexpr unsigned ZIP_DEFLATE_SPEED_SHIFT = 1; // bits 1-2: normal, maximum, fast, super fast
constexpr unsigned ZIP_DEFLATE_SPEED_MASK = 3;

// Whether count bytes from at on lie within the first size bytes, without
// overflowing on hostile values.
inline bool lies_within(std::uint64_t at, std::uint64_t count, std::uint64_t size) {
    return at <= size && count <= size - at;
}

// Which ZIP64 values a record marks as held in its extra field, and where
// that field holds them, counted from the start of the record's extra field.
struct Zip64Wanted {
    bool uncompressed = false;
    bool compressed = false;
    bool local_offset = false;
    bool disk = false;
};
struct Zip64Fields {
    std::optional<std::size_t> uncompressed;
    std::optional<std::size_t> compressed;
    std::optional<std::size_t> local_offset;
    std::optional<std::size_t> disk;
};

// Finds the wanted values in the ZIP64 extra field of extra: they follow
// its tag and size in the order above, 8 bytes each and the disk 4.
// Nothing when a wanted value is missing; extra fields cut short end the
// search, as other readers take them.
std::optional<Zip64Fields> find_zip64_fields(std::span<const unsigned char> extra, Zip64Wanted wanted);

} // namespace mog
