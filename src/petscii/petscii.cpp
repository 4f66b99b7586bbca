#include "petscii/petscii.h"

unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style) {
    if (style.raw)
        return petscii;
    if (petscii < GLYPH_TABLE_SIZE)
        return style.table->console[petscii];
    return HIGH_GLYPHS[petscii - GLYPH_TABLE_SIZE];
}

std::size_t convert_petscii_string(char* destination, const unsigned char* source, std::size_t source_size,
                                   PetsciiStyle style) {
    std::size_t length = 0;
    while (length < source_size && source[length] != 0) {
        destination[length] = static_cast<char>(petscii_to_console(source[length], style));
        ++length;
    }
    destination[length] = '\0';
    return length;
}
