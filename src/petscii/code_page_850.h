// Code page 850 characters as Unicode, for terminals that are not set to it.
#pragma once

#include <string>

namespace mog {

// The glyph a code page 850 console shows for each byte; the control codes
// 0x01 to 0x1F and 0x7F show as their graphic glyphs.
extern const char16_t CODE_PAGE_850_GLYPHS[256];

// The most bytes one glyph takes in UTF-8.
constexpr int MAX_GLYPH_BYTES = 3;

// Appends the UTF-8 encoding of the glyph of one code page 850 byte.
void append_glyph_utf8(std::string& text, unsigned char byte);

} // namespace mog
