// Extensions of container file names.
#pragma once

#include <string_view>

#include "basic/ascii.h"
#include "mog/container.h"

namespace mog {

// Characters of an extension, its dot included.
constexpr std::size_t EXTENSION_LENGTH = 4;

// The last four characters of a name; empty for a shorter name.
std::string_view extension_of(std::string_view name);

// True when both end in the same four characters, ignoring letter case; a
// name shorter than four characters matches nothing.
bool same_extension(std::string_view first, std::string_view second);

} // namespace mog
