#include "text/utf8.h"

namespace mog {

namespace {

// Bytes a UTF-8 sequence takes, by its first byte; 0 for a byte no valid
// sequence starts with.
std::size_t sequence_length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

} // namespace

std::size_t utf8_sequence(const unsigned char* text, std::size_t left, char32_t& code_point) {
    if (left == 0)
        return 0;
    unsigned char lead = text[0];
    std::size_t length = sequence_length(lead);
    code_point = lead;
    if (length <= 1)
        return length;
    if (length > left)
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (text[i] & 0x3F);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    bool no_character = (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF;
    code_point = code;
    return overlong || no_character ? 0 : length;
}

} // namespace mog
