#include "petscii/code_page_850.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace {

using namespace mog;

// Bytes from 0x20 on are the characters glibc's converter gives for code
// page 850; below that a console shows glyphs that no converter knows of.
TEST(CodePage850, GlyphsAgreeWithIconv) {
    iconv_t converter = iconv_open("UTF-8", "CP850");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "glibc's CP850 converter is missing";
    for (int byte = 0x20; byte < 0x100; ++byte) {
        if (byte == 0x7F)
            continue; // DEL shows as the house glyph
        char in = static_cast<char>(byte);
        char out[8] = {};
        char* in_at = &in;
        char* out_at = out;
        std::size_t in_left = 1, out_left = sizeof out;
        ASSERT_NE(iconv(converter, &in_at, &in_left, &out_at, &out_left), static_cast<std::size_t>(-1)) << byte;
        std::string glyph;
        append_glyph_utf8(glyph, static_cast<unsigned char>(byte));
        EXPECT_EQ(glyph, std::string(out, out_at)) << std::hex << byte;
    }
    iconv_close(converter);
}

} // namespace
