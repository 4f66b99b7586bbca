#include "sources/zip_layout.h"

#include "basic/little_endian.h"

namespace mog {

namespace {

constexpr unsigned ZIP64_EXTRA_TAG = 0x0001;
constexpr std::size_t EXTRA_HEADER_SIZE = 4; // tag and size, 2 bytes each
constexpr std::size_t ZIP64_VALUE_SIZE = 8;
constexpr std::size_t ZIP64_DISK_SIZE = 4;

// Takes the next value's place if it is wanted and fits in the field.
bool take(bool wanted, std::size_t width, std::size_t field_end, std::size_t& at, std::optional<std::size_t>& place) {
    if (!wanted)
        return true;
    if (field_end - at < width)
        return false;
    place = at;
    at += width;
    return true;
}

} // namespace

std::optional<Zip64Fields> find_zip64_fields(std::span<const unsigned char> extra, Zip64Wanted wanted) {
    const bool wants_any = wanted.uncompressed || wanted.compressed || wanted.local_offset || wanted.disk;
    if (!wants_any)
        return Zip64Fields{};
    for (std::size_t at = 0; extra.size() - at >= EXTRA_HEADER_SIZE;) {
        const unsigned tag = read_le16(extra.data() + at);
        const std::size_t size = read_le16(extra.data() + at + 2);
        const std::size_t start = at + EXTRA_HEADER_SIZE;
        if (size > extra.size() - start)
            break;
        if (tag == ZIP64_EXTRA_TAG) {
            Zip64Fields fields;
            const std::size_t end = start + size;
            std::size_t cursor = start;
            if (take(wanted.uncompressed, ZIP64_VALUE_SIZE, end, cursor, fields.uncompressed) &&
                take(wanted.compressed, ZIP64_VALUE_SIZE, end, cursor, fields.compressed) &&
                take(wanted.local_offset, ZIP64_VALUE_SIZE, end, cursor, fields.local_offset) &&
                take(wanted.disk, ZIP64_DISK_SIZE, end, cursor, fields.disk))
                return fields;
            return std::nullopt;
        }
        at = start + size;
    }
    return std::nullopt;
}

} // namespace mog
