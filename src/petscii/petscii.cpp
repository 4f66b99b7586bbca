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
    // Room for every byte at once, cut back to what was converted.
    const std::size_t start = text.size();
    text.resize(start + petscii.size());
    char* const first = text.data() + start;
    char* end = first;
    const ConsoleCodes& codes = console_codes_of(style.glyphs);
    for (unsigned char byte : petscii) {
        const unsigned char c = style.raw ? byte : codes.of[byte];
        if (c == 0)
            break;
        *end++ = static_cast<char>(c);
    }
    text.resize(start + static_cast<std::size_t>(end - first));
}

} // namespace mog
