#include "mog/petscii.h"

#include "petscii/glyph_tables.h"

namespace mog {

namespace {

const GlyphTable& glyph_table(Glyphs glyphs) {
    return glyphs == Glyphs::blocks ? BLOCK_GLYPH_TABLE : STANDARD_GLYPH_TABLE;
}

unsigned char console_glyph(unsigned char petscii, const GlyphTable& table) {
    return petscii < GLYPH_TABLE_SIZE ? table.console[petscii] : HIGH_GLYPHS[petscii - GLYPH_TABLE_SIZE];
}

} // namespace

unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style) {
    return style.raw ? petscii : console_glyph(petscii, glyph_table(style.glyphs));
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
    const GlyphTable& table = glyph_table(style.glyphs);
    for (unsigned char byte : petscii) {
        const unsigned char c = style.raw ? byte : console_glyph(byte, table);
        if (c == 0)
            break;
        *end++ = static_cast<char>(c);
    }
    text.resize(start + static_cast<std::size_t>(end - first));
}

} // namespace mog
