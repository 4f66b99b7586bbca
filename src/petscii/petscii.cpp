#include "mog/petscii.h"

#include <algorithm>

#include "petscii/glyph_tables.h"

namespace mog {

namespace {

const GlyphTable& glyph_table(Glyphs glyphs) {
    return glyphs == Glyphs::blocks ? BLOCK_GLYPH_TABLE : STANDARD_GLYPH_TABLE;
}

unsigned char console_glyph(unsigned char petscii, const GlyphTable& table) {
    return petscii < GLYPH_TABLE_SIZE ? table.console[petscii] : HIGH_GLYPHS[petscii - GLYPH_TABLE_SIZE];
}

// Every code's console character under one glyph table, made once, so that
// a text is converted with one lookup a byte.
struct ConsoleCodes {
    unsigned char of[256];
};

ConsoleCodes console_codes(Glyphs glyphs) {
    ConsoleCodes codes{};
    for (int code = 0; code < 256; ++code)
        codes.of[code] = console_glyph(static_cast<unsigned char>(code), glyph_table(glyphs));
    return codes;
}

const ConsoleCodes& console_codes_of(Glyphs glyphs) {
    static const ConsoleCodes standard = console_codes(Glyphs::standard);
    static const ConsoleCodes blocks = console_codes(Glyphs::blocks);
    return glyphs == Glyphs::blocks ? blocks : standard;
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
    // Converted a piece at a time on the stack, each piece appended at once:
    // a name or a line's text is one piece.
    const ConsoleCodes& codes = console_codes_of(style.glyphs);
    char piece[64];
    while (!petscii.empty()) {
        const std::size_t size = std::min(petscii.size(), sizeof piece);
        for (std::size_t k = 0; k < size; ++k) {
            const unsigned char c = style.raw ? petscii[k] : codes.of[petscii[k]];
            if (c == 0) {
                text.append(piece, k);
                return;
            }
            piece[k] = static_cast<char>(c);
        }
        text.append(piece, size);
        petscii = petscii.subspan(size);
    }
}

} // namespace mog
