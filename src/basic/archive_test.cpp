#include "basic/archive.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace mog;

using Bytes = std::vector<unsigned char>;

Bytes bytes_of(const std::string& text) {
    return {text.begin(), text.end()};
}

// An entry header as the archivers write it, the name filled with letters;
// the numbers are written out here rather than taken from the unit.
Bytes entry_header(unsigned char version, unsigned char mode, unsigned char type, unsigned char name_length) {
    Bytes header = {version, mode, 0x34, 0x12, 0x00, 0x01, 0x00, 0x02, 0x00, type, name_length};
    for (unsigned char i = 0; i < name_length; ++i)
        header.push_back(static_cast<unsigned char>('A' + i % 26));
    if (version == 2) {
        header.push_back(0);    // record length
        header.push_back(0x21); // date
        header.push_back(0x43);
    }
    return header;
}

Bytes cut(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

Bytes followed_by_data(Bytes bytes) {
    bytes.insert(bytes.end(), {0x01, 0x08, 0x0B, 0x08});
    return bytes;
}

TEST(Archive, StubNumberGivesTheArchiveOffset) {
    struct Case {
        unsigned line_number;
        std::string text; // after the SYS token
        std::optional<std::size_t> offset;
    };
    const std::vector<Case> cases = {
        {0, "2061", std::nullopt},
        {6, "2061", std::nullopt},
        {7, "2061", 254},
        {8, "2061", 508},
        {9, "2061", 762},
        {15, "2061", 2286},
        {15, " 7181", 2285}, // the C128 dissolver
        {15, "77", 2285},    // the second byte decides
        {15, "7181", 2286},  // a 7 first is not the C128 dissolver
        {15, " 8181", 2286}, // another digit
        {15, "7", 2286},     // no second byte
        {15, "", 2286},      // no text at all
        {14, " 7181", 2032}, // only line 15
        {16, " 7181", 2540}, // only line 15
        {2026, "2061", 2020u * 254},
        {65535, "2061", 65529u * 254},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.line_number) + " SYS" + c.text);
        const Bytes text = bytes_of(c.text);
        EXPECT_EQ(sda_archive_offset(c.line_number, text), c.offset);
    }
    // Only the given text counts, not a 7 in the bytes behind it.
    const Bytes line = bytes_of(" 7");
    EXPECT_EQ(sda_archive_offset(15, std::span(line).first(1)), 2286u);
}

TEST(Archive, EntryHeaderBounds) {
    struct Case {
        const char* label;
        Bytes bytes;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"version 1", entry_header(1, 0, 'P', 5), true},
        {"version 2", entry_header(2, 0, 'P', 5), true},
        {"version 0", entry_header(0, 0, 'P', 5), false},
        {"version 3", followed_by_data(entry_header(3, 0, 'P', 5)), false},
        {"version 1, squeezed", entry_header(1, 2, 'P', 5), true},
        {"version 1, crunched", entry_header(1, 3, 'P', 5), false},
        {"version 2, crunched in one pass", entry_header(2, 5, 'P', 5), true},
        {"version 2, mode 6", entry_header(2, 6, 'P', 5), false},
        {"version 1, name of 16", entry_header(1, 0, 'P', 16), true},
        {"version 2, name of 16", entry_header(2, 0, 'P', 16), true},
        {"version 1, name of 17", followed_by_data(entry_header(1, 0, 'P', 17)), false},
        {"version 2, name of 17", followed_by_data(entry_header(2, 0, 'P', 17)), false},
        {"version 1, no name", entry_header(1, 0, 'P', 0), true},
        {"version 2, no name", entry_header(2, 0, 'P', 0), true},
        {"SEQ", entry_header(2, 0, 'S', 5), true},
        {"USR", entry_header(2, 0, 'U', 5), true},
        {"REL", entry_header(2, 0, 'R', 5), true},
        {"lower-case p", entry_header(2, 0, 'p', 5), false},
        {"Q, between P and R", entry_header(2, 0, 'Q', 5), false},
        {"T, between S and U", entry_header(2, 0, 'T', 5), false},
        {"PETSCII shifted P", entry_header(2, 0, 0xD0, 5), false},
        {"followed by its data", followed_by_data(entry_header(2, 0, 'P', 5)), true},
        {"version 1 cut one byte short", cut(entry_header(1, 0, 'P', 5), 1), false},
        {"version 2 cut one byte short", cut(entry_header(2, 0, 'P', 5), 1), false},
        {"version 2 without its date", cut(entry_header(2, 0, 'P', 5), 2), false},
        {"version 2 cut to a version 1 header", cut(entry_header(2, 0, 'P', 5), 3), false},
        {"version 1, no name, cut one byte short", cut(entry_header(1, 0, 'P', 0), 1), false},
        {"version 1, name of 16, cut one byte short", cut(entry_header(1, 0, 'P', 16), 1), false},
        {"nothing", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(is_archive_entry_header(c.bytes), c.valid);
    }
}

TEST(Archive, HeaderSizeTellsHowMuchToGather) {
    struct Case {
        const char* label;
        Bytes bytes;
        std::size_t size;
    };
    const std::vector<Case> cases = {
        {"nothing", {}, 11},
        {"fixed part cut one byte short", cut(entry_header(2, 0, 'P', 5), 9), 11},
        {"version 1, fixed part only", cut(entry_header(1, 0, 'P', 5), 5), 16},
        {"version 2, fixed part only", cut(entry_header(2, 0, 'P', 5), 8), 19},
        {"version 1, whole", entry_header(1, 0, 'P', 5), 16},
        {"version 2, whole and more", followed_by_data(entry_header(2, 0, 'P', 5)), 19},
        {"version 1, no name", entry_header(1, 0, 'P', 0), 11},
        {"version 2, no name", entry_header(2, 0, 'P', 0), 14},
        {"version 2, name of 16", entry_header(2, 0, 'P', 16), 30},
        {"name of 17: judged by the fixed part", entry_header(2, 0, 'P', 17), 11},
        {"version 3: judged by the fixed part", entry_header(3, 0, 'P', 5), 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(archive_header_size(c.bytes), c.size);
    }
}

// A caller gathers MAX_ARCHIVE_HEADER_SIZE bytes at most: whatever the fixed
// part holds, no more is ever asked for, and what is asked for is enough.
TEST(Archive, HeaderSizeNeverExceedsTheLargestHeader) {
    for (unsigned version = 0; version < 4; ++version)
        for (unsigned mode = 0; mode < 8; ++mode)
            for (unsigned name_length = 0; name_length < 256; ++name_length) {
                Bytes fixed = {
                    static_cast<unsigned char>(version),    static_cast<unsigned char>(mode), 0, 0, 0, 0, 0, 0, 0, 'S',
                    static_cast<unsigned char>(name_length)};
                const std::size_t size = archive_header_size(fixed);
                ASSERT_LE(size, 30u) << version << " " << mode << " " << name_length;
                Bytes gathered = fixed;
                gathered.resize(size, 'X');
                Bytes more = gathered;
                more.resize(40, 'X');
                EXPECT_EQ(is_archive_entry_header(gathered), is_archive_entry_header(more))
                    << version << " " << mode << " " << name_length;
            }
}

} // namespace
