#include "mog/petscii.h"

#include "petscii/unicode_table.h"

namespace mog {

char32_t petscii_to_unicode(unsigned char petscii) {
    return PETSCII_UNICODE[petscii];
}

bool is_petscii_control(unsigned char petscii) {
    return petscii < 0x20 || (petscii >= 0x80 && petscii < 0xA0);
}

void append_utf8(std::string& text, char32_t code_point) {
    if (code_point < 0x80) {
        text += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        text += static_cast<char>(0xC0 | (code_point >> 6));
        text += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        text += static_cast<char>(0xE0 | (code_point >> 12));
        text += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code_point >> 18));
        text += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

std::string petscii_to_utf8(std::span<const unsigned char> petscii) {
    std::string text;
    for (unsigned char byte : petscii)
        append_utf8(text, petscii_to_unicode(byte));
    return text;
}

std::string petscii_to_utf8(std::span<const unsigned char> petscii, char32_t control_mark) {
    std::string text;
    for (unsigned char byte : petscii)
        append_utf8(text, is_petscii_control(byte) ? control_mark : petscii_to_unicode(byte));
    return text;
}

} // namespace mog
