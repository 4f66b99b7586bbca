#include "mog/petscii.h"

#include "petscii/glyph_tables.h"

namespace mog {

unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style) {
    if (style.raw)
        return petscii;
    if (petscii < GLYPH_TABLE_SIZE)
        return style.table->console[petscii];
    return HIGH_GLYPHS[petscii - GLYPH_TABLE_SIZE];
}

std::string convert_petscii_string(const unsigned char* petscii, std::size_t size, PetsciiStyle style) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char c = petscii_to_console(petscii[i], style);
        if (c == 0)
            break;
        text += static_cast<char>(c);
    }
    return text;
}

} // namespace mog
