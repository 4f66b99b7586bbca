#include "basic/archive.h"

namespace mog {

namespace {

bool is_archive_file_type(unsigned char type) {
    return type == 'S' || type == 'P' || type == 'U' || type == 'R';
}

// The fixed part's own verdict: a version this family writes, a mode that
// version knows, a file type and a name that fits.
bool fixed_part_is_valid(std::span<const unsigned char> bytes) {
    const unsigned char version = bytes[ARCHIVE_HEADER_VERSION];
    if (version != 1 && version != 2)
        return false;
    const unsigned char last_mode = version == 1 ? ARCHIVE_VERSION_1_LAST_MODE : ARCHIVE_VERSION_2_LAST_MODE;
    return bytes[ARCHIVE_HEADER_MODE] <= last_mode && is_archive_file_type(bytes[ARCHIVE_HEADER_FILE_TYPE]) &&
           bytes[ARCHIVE_HEADER_NAME_LENGTH] <= ARCHIVE_MAX_NAME_LENGTH;
}

} // namespace

std::optional<std::size_t> sda_archive_offset(unsigned line_number, std::span<const unsigned char> line_text) {
    if (line_number < FIRST_SDA_LINE_NUMBER)
        return std::nullopt;
    std::size_t offset = static_cast<std::size_t>(line_number - SDA_LINE_NUMBER_BASE) * ARCHIVE_BLOCK_SIZE;
    if (line_number == C128_SDA_LINE_NUMBER && line_text.size() > C128_SDA_DIGIT_POSITION &&
        line_text[C128_SDA_DIGIT_POSITION] == C128_SDA_DIGIT)
        offset -= C128_SDA_ARCHIVE_SHIFT;
    return offset;
}

std::size_t archive_header_size(std::span<const unsigned char> bytes) {
    if (bytes.size() < ARCHIVE_HEADER_FIXED_SIZE || !fixed_part_is_valid(bytes))
        return ARCHIVE_HEADER_FIXED_SIZE;
    std::size_t size = ARCHIVE_HEADER_FIXED_SIZE + bytes[ARCHIVE_HEADER_NAME_LENGTH];
    if (bytes[ARCHIVE_HEADER_VERSION] == 2)
        size += ARCHIVE_VERSION_2_TAIL;
    return size;
}

bool is_archive_entry_header(std::span<const unsigned char> bytes) {
    return bytes.size() >= ARCHIVE_HEADER_FIXED_SIZE && fixed_part_is_valid(bytes) &&
           bytes.size() >= archive_header_size(bytes);
}

} // namespace mog
