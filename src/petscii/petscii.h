// Conversion of PETSCII bytes to console (code page 850) characters.
#pragma once

#include <cstddef>

#include "petscii/glyph_tables.h"

// How Commodore text is shown: through a glyph table, or raw (unconverted).
struct PetsciiStyle {
    const GlyphTable* table = &STANDARD_GLYPH_TABLE;
    bool raw = false;
};

// One PETSCII byte as a console character.
unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style);

// Converts source bytes up to the first zero byte or source_size bytes,
// whichever comes first, and ends the text with a zero byte. The destination
// must hold source_size + 1 bytes. Gives the number of characters stored.
std::size_t convert_petscii_string(char* destination, const unsigned char* source, std::size_t source_size,
                                   PetsciiStyle style);
