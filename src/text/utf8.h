// Reading UTF-8 text, which may hold invalid bytes: names come from the
// system as bytes.
#pragma once

#include <cstddef>

namespace mog {

// The length of the valid UTF-8 sequence at the start of the text, which
// has `left` bytes, and its code point; 0 for a byte that starts no valid
// sequence (a stray continuation byte, an overlong form, a surrogate, a
// sequence cut short).
std::size_t utf8_sequence(const unsigned char* text, std::size_t left, char32_t& code_point);

// The Unicode replacement character U+FFFD in UTF-8, shown for invalid bytes.
constexpr const char* REPLACEMENT_CHARACTER = "\xEF\xBF\xBD";

} // namespace mog
