#include "cli/console.h"

#include <gtest/gtest.h>

namespace {

using namespace mog;

TEST(Console, TerminalsGetNoControlCodes) {
    struct Case {
        Display display;
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {Display::bytes, "\x1B[2J\x80\x9F\xA0", "\x1B[2J\x80\x9F\xA0"},
        // C1 codes are controls on a terminal with another character set.
        {Display::safe_bytes, "\x1B[2J\x7F\x80\x9F\xA0\xFF", "?[2J???\xA0\xFF"},
        {Display::utf8, "\x1B\x9C\xDB", "\xE2\x86\x90\xC2\xA3\xE2\x96\x88"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displayed_text(c.display, c.text.c_str()), c.shown) << c.text;
}

// Names from the system are UTF-8 on a UTF-8 terminal: only the C0 and C1
// controls are replaced, the no-break space right after them is text.
TEST(Console, SystemNamesKeepTheirCharacters) {
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"a\x1B", "a\xE2\x86\x90"}, {"\xC2\x80\xC2\x9F", "??"}, {"\xC2\xA0", "\xC2\xA0"},
        {"\xC3\x9C", "\xC3\x9C"},   {"\xFF", "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displayed_text(Display::utf8, c.text, TextOrigin::system), c.shown) << c.text;
}

} // namespace
