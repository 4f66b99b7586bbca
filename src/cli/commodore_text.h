// Commodore text as the tool shows it, in the style the options ask for.
#pragma once

#include <cstdio>
#include <span>
#include <string>

#include "cli/options.h"

namespace mog {

// The C64's own characters as UTF-8, control codes as visible marks: a
// middle dot, or a full block with -a.
std::string unicode_text(std::span<const unsigned char> petscii, const TextStyle& style);

// The text as the stream shows it: code page 850 characters through the
// stream's display rules, or with --unicode the C64's own characters on
// every stream alike.
std::string commodore_text(std::FILE* stream, std::span<const unsigned char> petscii, const TextStyle& style);
// The same, appended to a text.
void append_commodore_text(std::string& text, std::FILE* stream, std::span<const unsigned char> petscii,
                           const TextStyle& style);

} // namespace mog
