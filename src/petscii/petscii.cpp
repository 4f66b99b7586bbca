#include "mog/petscii.h"

#include "petscii/glyph_tables.h"

namespace mog {

unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style) {
    if (style.raw)
        return petscii;
    if (petscii < GLYPH_TABLE_SIZE)
        return (style.glyphs == Glyphs::blocks ? BLOCK_GLYPH_TABLE : STANDARD_GLYPH_TABLE).console[petscii];
    return HIGH_GLYPHS[petscii - GLYPH_TABLE_SIZE];
}

std::string convert_petscii_string(std::span<const unsigned char> petscii, PetsciiStyle style) {
    std::string text;
    append_petscii_string(text, petscii, style);
    return text;
}

void append_petscii_string(std::string& text, std::span<const unsigned char> petscii, PetsciiStyle style) {
    // Room for every byte at once, cut back to what was converted.
    const std::size_t start = text.size();
    text.resize(start + petscii.size());
    char* const first = text.data() + start;
    char* end = first;
    for (unsigned char byte : petscii) {
        const unsigned char c = petscii_to_console(byte, style);
        if (c == 0)
            break;
        *end++ = static_cast<char>(c);
    }
    text.resize(start + static_cast<std::size_t>(end - first));
}

} // namespace mog
