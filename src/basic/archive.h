// Self-dissolving archives (SDA) of the C64 and C128 ARC family: a program
// whose one-line BASIC stub "N SYS..." starts a dissolver, followed by the
// archive. N is data: it tells where the archive starts, so it must never be
// rewritten.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace mog {

// N is 6 plus the dissolver's length in blocks, and a dissolver takes at
// least one block.
constexpr unsigned SDA_LINE_NUMBER_BASE = 6;
constexpr unsigned FIRST_SDA_LINE_NUMBER = SDA_LINE_NUMBER_BASE + 1;
// The data bytes of a disk sector.
constexpr std::size_t ARCHIVE_BLOCK_SIZE = 254;

// A C128 dissolver, "15 SYS 7...", keeps its archive one byte earlier. The
// digit is the second byte of the text after the SYS token.
constexpr unsigned C128_SDA_LINE_NUMBER = 15;
constexpr std::size_t C128_SDA_DIGIT_POSITION = 1;
constexpr unsigned char C128_SDA_DIGIT = '7';
constexpr std::size_t C128_SDA_ARCHIVE_SHIFT = 1;

// Where the archive of a stub numbered line_number starts, counted from the
// first byte of the program file (its load address); line_text is the rest
// of the line after the SYS token. Nothing for numbers below
// FIRST_SDA_LINE_NUMBER.
std::optional<std::size_t> sda_archive_offset(unsigned line_number, std::span<const unsigned char> line_text);

// An archive entry header: version, mode, checksum, sizes, file type and
// name length, then the name and, in version 2, a record length and a date.
constexpr std::size_t ARCHIVE_HEADER_FIXED_SIZE = 11; // up to the name
constexpr std::size_t ARCHIVE_HEADER_VERSION = 0;
constexpr std::size_t ARCHIVE_HEADER_MODE = 1;
constexpr std::size_t ARCHIVE_HEADER_FILE_TYPE = 9;
constexpr std::size_t ARCHIVE_HEADER_NAME_LENGTH = 10;
constexpr std::size_t ARCHIVE_MAX_NAME_LENGTH = 16;
constexpr std::size_t ARCHIVE_VERSION_2_TAIL = 3; // record length, date
constexpr std::size_t MAX_ARCHIVE_HEADER_SIZE =
    ARCHIVE_HEADER_FIXED_SIZE + ARCHIVE_MAX_NAME_LENGTH + ARCHIVE_VERSION_2_TAIL;

// Version 1 knows stored, packed and squeezed; version 2 adds squeezed and
// packed, crunched and crunched in one pass.
constexpr unsigned char ARCHIVE_VERSION_1_LAST_MODE = 2;
constexpr unsigned char ARCHIVE_VERSION_2_LAST_MODE = 5;

// How many bytes from bytes[0] on are needed to judge a header there: the
// fixed part while fewer bytes are given or when the fixed part already rules
// a header out, otherwise the whole header (at most MAX_ARCHIVE_HEADER_SIZE).
std::size_t archive_header_size(std::span<const unsigned char> bytes);

// True when a valid entry header begins at bytes[0] and lies wholly within
// the bytes.
bool is_archive_entry_header(std::span<const unsigned char> bytes);

} // namespace mog
