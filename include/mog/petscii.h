// PETSCII, the Commodore character code, as console text (code page 850
// characters, the way a Windows console set to that code page shows them)
// and as the Unicode characters of the C64's upper-case and graphics set.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace mog {

// How control codes show in code page 850 text.
enum class Glyphs {
    standard, // as the letters they are typed with
    blocks,   // as a full block
};

// How Commodore text is shown: through a glyph table, or raw (unconverted).
struct PetsciiStyle {
    Glyphs glyphs = Glyphs::standard;
    bool raw = false;
};

// One PETSCII byte as a code page 850 character.
unsigned char petscii_to_console(unsigned char petscii, PetsciiStyle style = {});

// PETSCII bytes as code page 850 characters; a byte that becomes a zero
// byte, as raw output makes of a zero byte, ends the text.
std::string convert_petscii_string(std::span<const unsigned char> petscii, PetsciiStyle style = {});
// The same, appended to a text.
void append_petscii_string(std::string& text, std::span<const unsigned char> petscii, PetsciiStyle style = {});

// The character a PETSCII byte stands for, as published with Unicode 13's
// Symbols for Legacy Computing (0xFF, which the C64 shows as pi like 0xDE,
// is pi); control codes (0x00-0x1F, 0x80-0x9F) are the C0 and C1 controls
// of the same value. Several bytes share a character.
char32_t petscii_to_unicode(unsigned char petscii);

// True for the bytes that are control codes rather than characters.
bool is_petscii_control(unsigned char petscii);

// PETSCII bytes as UTF-8 text, every byte a character.
std::string petscii_to_utf8(std::span<const unsigned char> petscii);

// PETSCII bytes as UTF-8 text for a screen: every control code as the mark
// given (a middle dot, say), so that none acts as a control there.
std::string petscii_to_utf8(std::span<const unsigned char> petscii, char32_t control_mark);

// Appends a code point as UTF-8.
void append_utf8(std::string& text, char32_t code_point);

} // namespace mog
