#include "cli/commodore_text.h"

#include "cli/console.h"

namespace mog {

namespace {

// What --unicode shows for a control code, which must never reach the
// output as a control: a middle dot, or with -a a full block.
constexpr char32_t CONTROL_MARK = 0x00B7;
constexpr char32_t FULL_BLOCK = 0x2588;

} // namespace

std::string unicode_text(std::span<const unsigned char> petscii, const TextStyle& style) {
    return petscii_to_utf8(petscii, style.full_blocks ? FULL_BLOCK : CONTROL_MARK);
}

std::string commodore_text(std::FILE* stream, std::span<const unsigned char> petscii, const TextStyle& style) {
    std::string text;
    append_commodore_text(text, stream, petscii, style);
    return text;
}

void append_commodore_text(std::string& text, std::FILE* stream, std::span<const unsigned char> petscii,
                           const TextStyle& style) {
    if (style.characters == TextStyle::Characters::unicode)
        return text.append(unicode_text(petscii, style)), void();
    const Display display = stream_display(stream);
    // A file or pipe takes the code page 850 characters as they are, and
    // the conversion already ends them at a zero byte.
    if (display == Display::bytes)
        return append_petscii_string(text, petscii, style.petscii());
    append_displayed_text(text, display, convert_petscii_string(petscii, style.petscii()));
}

} // namespace mog
