#include "petscii/petscii.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cli/run_options.h"

namespace {

struct OptionsGuard {
    RunOptions saved = run_options;
    ~OptionsGuard() { run_options = saved; }
};

struct GlyphCase {
    unsigned char petscii;
    unsigned char standard;
    unsigned char block;
};

TEST(Petscii, ConvertsUnderBothTables) {
    OptionsGuard guard;
    const GlyphCase cases[] = {
        {0x48, 0x48, 0x48}, {0x45, 0x45, 0x45}, {0x20, 0x20, 0x20}, {0x41, 0x41, 0x41}, {0x5B, 0x5B, 0x5B},
        {0x5C, 0x9C, 0x9C}, {0x5D, 0x5D, 0x5D}, {0x5E, 0x5E, 0x5E}, {0x5F, 0xAE, 0xAE}, {0x00, 0x40, 0xDB},
        {0x12, 0x52, 0xDB}, {0x1C, 0x9C, 0xDB}, {0x1F, 0xAE, 0xDB}, {0x60, 0xC4, 0xC4}, {0x61, 0x24, 0x24},
        {0x6D, 0x5C, 0x5C}, {0x7A, 0xFE, 0xFE}, {0x7F, 0x5C, 0x5C}, {0x80, 0xC4, 0xDB}, {0x93, 0xB8, 0xDB},
        {0x9F, 0x5C, 0xDB}, {0xA0, 0x20, 0x20}, {0xA3, 0xEE, 0xEE}, {0xAB, 0xC3, 0xC3}, {0xBF, 0x5C, 0x5C},
        {0xC0, 0xC4, 0xC4}, {0xC1, 0xC1, 0xC1}, {0xC2, 0xB3, 0xB3}, {0xCC, 0xDB, 0xDB}, {0xD7, 0x6F, 0x6F},
        {0xDF, 0x5C, 0x5C}, {0xE3, 0xEE, 0xEE}, {0xE4, 0xF2, 0xF2}, {0xEF, 0xF2, 0xF2}, {0xF1, 0xC1, 0xC1},
        {0xFD, 0xFD, 0xFD}, {0xFE, 0xFE, 0xFE}, {0xFF, 0xFF, 0xFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.petscii));
        run_options.glyph_table = &STANDARD_GLYPH_TABLE;
        EXPECT_EQ(petscii_to_console(c.petscii), c.standard);
        run_options.glyph_table = &BLOCK_GLYPH_TABLE;
        EXPECT_EQ(petscii_to_console(c.petscii), c.block);
    }
}

TEST(Petscii, TablesDifferOnlyInTheControlRanges) {
    for (int code = 0; code < GLYPH_TABLE_SIZE; ++code) {
        bool control = code < 0x20 || (code >= 0x80 && code < 0xA0);
        unsigned char expected = control ? 0xDB : STANDARD_GLYPH_TABLE.console[code];
        EXPECT_EQ(BLOCK_GLYPH_TABLE.console[code], expected) << code;
    }
}

TEST(Petscii, RawOutputChangesNoByte) {
    OptionsGuard guard;
    run_options.raw_output = true;
    for (const GlyphTable* table : {&STANDARD_GLYPH_TABLE, &BLOCK_GLYPH_TABLE}) {
        run_options.glyph_table = table;
        for (int code = 0; code < 256; ++code)
            EXPECT_EQ(petscii_to_console(static_cast<unsigned char>(code)), code);
    }
}

TEST(Petscii, StringStopsAtZeroOrAtTheGivenSize) {
    OptionsGuard guard;
    const unsigned char name[] = {0x48, 0x45, 0x4C, 0x4C, 0x4F, 0xA0, 0xA0, 0x00, 0x41};
    char text[sizeof name + 1];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(convert_petscii_string(text, name, sizeof name), 7u);
    EXPECT_STREQ(text, "HELLO  ");
    EXPECT_EQ(convert_petscii_string(text, name, 3), 3u);
    EXPECT_STREQ(text, "HEL");
    EXPECT_EQ(convert_petscii_string(text, name, 0), 0u);
    EXPECT_STREQ(text, "");
}

} // namespace
