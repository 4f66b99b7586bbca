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
    if (style.characters == TextStyle::Characters::unicode)
        return unicode_text(petscii, style);
    return shown(stream, convert_petscii_string(petscii, style.petscii()));
}

} // namespace mog
