// PETSCII, the Commodore character code, as console text: code page 850
// characters, the way a Windows console set to that code page shows them.
#pragma once

#include <cstddef>
#include <string>

namespace mog {

struct GlyphTable;
// Control codes show as the letters they are typed with.
extern const GlyphTable STANDARD_GLYPH_TABLE;
// Control codes show as a full block.
extern const GlyphTable BLOCK_GLYPH_TABLE;

// How Commodore text is shown: through a glyph table, or raw (unconverted).
struct PetsciiStyle {
    const GlyphTable* table = &STANDARD_GLYPH_TABLE;
    bool raw = false;
};

// One PETSCII byte as a code page 850 character.
unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style = {});

// Up to size PETSCII bytes as code page 850 characters; a byte that
// becomes a zero byte, as raw output makes of a zero byte, ends the text.
std::string convert_petscii_string(const unsigned char* petscii, std::size_t size, PetsciiStyle style = {});

} // namespace mog
