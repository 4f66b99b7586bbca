// The builder's self-dissolving archives are what cbmconvert, which
// dissolves them, takes them for; and the unit that recognises their stubs
// finds their archives where cbmconvert does.
#include "sda_builder.h"

#include "basic/archive.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace {

// Bytes that reach every value, so that a checksum's byte counter wraps.
std::string varied(std::size_t size, unsigned seed) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i)
        bytes += static_cast<char>((i * 131 + seed) % 256);
    return bytes;
}

const ArchivedFile GAME{"GAME", "\x01\x08" + varied(1000, 7), 'P'};
// Its header and data need two blocks, the data alone one.
const ArchivedFile NOTES{"NOTES", std::string(250, 'N'), 'S'};
const ArchivedFile OLD{"OLD", varied(300, 3), 'U', 1};
const ArchivedFile LONG_NAME{"ABCDEFGHIJKLMNOP", "\x01\x1c" + varied(20, 1), 'P', 1};
const ArchivedFile EMPTY{"EMPTY", "", 'P'};

struct Layout {
    const char* label;
    std::string program;
    std::map<std::string, std::string> files; // as cbmconvert names them
};

std::vector<Layout> layouts() {
    return {
        {"line 7, one file", sda_program(7, {GAME}), {{"game.prg", GAME.bytes}}},
        {"line 9, every kind of entry",
         sda_program(9, {GAME, NOTES, OLD, LONG_NAME, EMPTY}),
         {{"game.prg", GAME.bytes},
          {"notes.seq", NOTES.bytes},
          {"old.usr", OLD.bytes},
          {"abcdefghijklmnop.prg", LONG_NAME.bytes},
          {"empty.prg", ""}}},
        {"line 20", sda_program(20, {NOTES, GAME}), {{"notes.seq", NOTES.bytes}, {"game.prg", GAME.bytes}}},
        {"line 15 at $0801", sda_program(15, {NOTES}), {{"notes.seq", NOTES.bytes}}},
        {"C128, 15 SYS 7182", c128_sda_program({GAME, OLD}), {{"game.prg", GAME.bytes}, {"old.usr", OLD.bytes}}},
    };
}

constexpr std::size_t LINE_NUMBER_AT = 4; // after the load address and the line link
constexpr std::size_t LINE_TEXT_AT = 7;   // after the SYS token

std::string with_line_number(std::string program, unsigned line_number) {
    program[LINE_NUMBER_AT] = static_cast<char>(line_number & 0xFF);
    program[LINE_NUMBER_AT + 1] = static_cast<char>(line_number >> 8);
    return program;
}

unsigned line_number_of(const std::string& program) {
    return static_cast<unsigned char>(program[LINE_NUMBER_AT]) | static_cast<unsigned char>(program[LINE_NUMBER_AT + 1])
                                                                     << 8;
}

std::span<const unsigned char> bytes_from(const std::string& program, std::size_t offset) {
    auto* first = reinterpret_cast<const unsigned char*>(program.data());
    return {first + offset, program.size() - offset};
}

std::span<const unsigned char> line_text_of(const std::string& program) {
    return bytes_from(program, LINE_TEXT_AT).first(program.find('\0', LINE_TEXT_AT) - LINE_TEXT_AT);
}

#define SKIP_WITHOUT_CBMCONVERT()                                                                                      \
    do {                                                                                                               \
        if (!cbmconvert_installed())                                                                                   \
            GTEST_SKIP() << "cbmconvert is not installed (Debian: cbmconvert)";                                        \
    } while (false)

TEST(SdaBuilder, CbmconvertExtractsEveryFileWhole) {
    SKIP_WITHOUT_CBMCONVERT();
    for (const auto& layout : layouts()) {
        SCOPED_TRACE(layout.label);
        Extraction extraction = cbmconvert_extract(layout.program);
        EXPECT_EQ(extraction.status, 0) << extraction.messages;
        // cbmconvert writes a file whose checksum fails all the same.
        EXPECT_EQ(extraction.messages.find("Checksum error"), std::string::npos) << extraction.messages;
        EXPECT_EQ(extraction.files, layout.files) << extraction.messages;
    }
}

// The stub's number places the archive: the same bytes under another
// number, or a C128 stub without its 7, give cbmconvert other files or none.
TEST(SdaBuilder, AnotherStubLosesTheArchive) {
    SKIP_WITHOUT_CBMCONVERT();
    struct Case {
        const char* label;
        std::function<std::string(const std::string&)> change;
        bool nothing; // no file at all comes out
    };
    const std::vector<Case> cases = {
        {"line 2026", [](const std::string& p) { return with_line_number(p, 2026); }, true},
        {"one line further", [](const std::string& p) { return with_line_number(p, line_number_of(p) + 1); }, false},
        {"one line earlier", [](const std::string& p) { return with_line_number(p, line_number_of(p) - 1); }, true},
    };
    for (const auto& layout : layouts())
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(layout.label) + ", " + c.label);
            Extraction extraction = cbmconvert_extract(c.change(layout.program));
            EXPECT_NE(extraction.files, layout.files) << extraction.messages;
            if (c.nothing) {
                EXPECT_TRUE(extraction.files.empty()) << extraction.messages;
            }
        }

    std::string c128 = c128_sda_program({GAME});
    ASSERT_EQ(c128.substr(LINE_TEXT_AT, 6), std::string(" 7182\0", 6));
    c128[LINE_TEXT_AT + 1] = '8';
    EXPECT_TRUE(cbmconvert_extract(c128).files.empty());
}

TEST(SdaBuilder, HeaderLiesWhereTheStubPoints) {
    for (const auto& layout : layouts()) {
        SCOPED_TRACE(layout.label);
        const std::string& program = layout.program;
        auto offset = mog::sda_archive_offset(line_number_of(program), line_text_of(program));
        ASSERT_TRUE(offset.has_value());
        ASSERT_LT(*offset + 1, program.size());
        EXPECT_TRUE(mog::is_archive_entry_header(bytes_from(program, *offset)));
        // One byte off either way is dissolver code or the header's mode.
        EXPECT_FALSE(mog::is_archive_entry_header(bytes_from(program, *offset - 1)));
        EXPECT_FALSE(mog::is_archive_entry_header(bytes_from(program, *offset + 1)));
        // Under the year the archive would lie far behind the file.
        auto moved = mog::sda_archive_offset(2026, line_text_of(program));
        ASSERT_TRUE(moved.has_value());
        EXPECT_GT(*moved, program.size());
    }
}

} // namespace
