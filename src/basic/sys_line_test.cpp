#include "basic/sys_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace mog;

std::vector<unsigned char> bytes_of(const std::string& text) {
    return {text.begin(), text.end()};
}

// The line of a program stored with its load address first, as in a PRG file.
SysLine line_of(std::vector<unsigned char>& bytes, std::size_t available) {
    if (available < LOAD_ADDRESS_SIZE)
        return SysLine{0, bytes.data(), 0};
    return SysLine{static_cast<unsigned>(bytes[0] | bytes[1] << 8), bytes.data() + LOAD_ADDRESS_SIZE,
                   available - LOAD_ADDRESS_SIZE};
}

const std::vector<unsigned> C64_ONLY{BASIC_START};

TEST(SysLine, RecognisesOnlySysAtBasicStart) {
    struct Case {
        const char* label;
        std::string bytes;
        bool token;
        bool match;
    };
    const std::vector<Case> cases = {
        {"10 SYS2061",
         std::string("\x01\x08\x0b\x08\x0a\x00\x9e"
                     "2061\0",
                     12),
         true, true},
        {"header only", std::string("\x01\x08\x0b\x08\x0a\x00\x9e", 7), true, true},
        {"one byte short", std::string("\x01\x08\x0b\x08\x0a\x00", 6), false, false},
        {"empty", "", false, false},
        {"PRINT", std::string("\x01\x08\x0b\x08\x0a\x00\x99", 7), false, false},
        {"loads at $1C01", std::string("\x01\x1c\x0b\x08\x0a\x00\x9e", 7), true, false},
        {"loads at $0901", std::string("\x01\x09\x0b\x08\x0a\x00\x9e", 7), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto bytes = bytes_of(c.bytes);
        SysLine line = line_of(bytes, bytes.size());
        EXPECT_EQ(has_sys_token(line), c.token);
        EXPECT_EQ(match_sys_line(line, C64_ONLY), c.match);
    }
    // A token just past the bytes the line may use is not its token.
    auto full = bytes_of(std::string("\x01\x08\x0b\x08\x0a\x00\x9e", 7));
    EXPECT_TRUE(has_sys_token(line_of(full, 7)));
    EXPECT_FALSE(has_sys_token(line_of(full, 6)));
}

TEST(SysLine, LineNumberIsLittleEndianAndTouchesTwoBytes) {
    auto bytes = bytes_of(std::string("\x01\x08\x0b\x08\x0a\x00\x9e"
                                      "2061\0",
                                      12));
    const auto original = bytes;
    SysLine line = line_of(bytes, bytes.size());
    EXPECT_EQ(sys_line_number(line), 10u);
    for (unsigned number : {2020u, 2024u, 0u, 255u, 256u, 65535u}) {
        set_sys_line_number(line, number);
        EXPECT_EQ(sys_line_number(line), number);
        EXPECT_EQ(bytes[4], number & 0xFF);
        EXPECT_EQ(bytes[5], number >> 8);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (i != 4 && i != 5) {
                EXPECT_EQ(bytes[i], original[i]);
            }
    }
    set_sys_line_number(line, 2020);
    EXPECT_EQ(bytes[4], 0xE4);
    EXPECT_EQ(bytes[5], 0x07);
}

TEST(SysLine, TextEndsAtZeroOrAtTheAvailableBytes) {
    auto bytes = bytes_of(std::string("\x01\x08\x0b\x08\x0a\x00\x9e"
                                      " 2061\0"
                                      "99",
                                      15));
    struct Case {
        std::size_t available;
        std::size_t length;
        const char* text;
    };
    for (const Case& c : {Case{15, 5, " 2061"}, Case{9, 2, " 2"}, Case{7, 0, ""}}) {
        // Exactly the available bytes, so that a sanitizer sees a read past them.
        std::vector<unsigned char> exact(bytes.begin(), bytes.begin() + static_cast<long>(c.available));
        SysLine line = line_of(exact, exact.size());
        EXPECT_EQ(sys_line_text_length(line), c.length);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(sys_line_text(line)), c.length), c.text);
    }
}

} // namespace
