// The PETSCII to code page 850 tables used to show Commodore text on the console.
#pragma once

#include "mog/petscii.h"

namespace mog {

constexpr int GLYPH_TABLE_SIZE = 192;

// Console character for each PETSCII code from 0x00 to 0xBF.
struct GlyphTable {
    unsigned char console[GLYPH_TABLE_SIZE];
};

// Control codes show as the letters they are typed with.
extern const GlyphTable STANDARD_GLYPH_TABLE;
// Control codes show as a full block.
extern const GlyphTable BLOCK_GLYPH_TABLE;

// Console characters for 0xC0 to 0xFF, the same under either table.
extern const unsigned char (&HIGH_GLYPHS)[64];

} // namespace mog
