// Names and extensions of container files.
#pragma once

#include <string>

#include "mog/container.h"

namespace mog {

// Characters of an extension, its dot included.
constexpr std::size_t EXTENSION_LENGTH = 4;

// The last four characters of a name, or null for a shorter name.
const char* extension_of(const char* name);

// True when both end in the same four characters, ignoring letter case; a
// name shorter than four characters matches nothing.
bool same_extension(const char* first, const char* second);

// The default destination for a source name of at least four characters:
// the name less its extension, then ".out" and the extension in lower case.
std::string default_destination(const char* source);

// True for a name such as "game.out.d64", as a run writes by default.
bool named_like_output(const char* name);

} // namespace mog
