// The tool's naming rules for what it writes.
#pragma once

#include <string>
#include <string_view>

namespace mog {

// The default destination for a source name of at least four characters:
// the name less its extension, then ".out" and the extension in lower case.
std::string default_destination(std::string_view source);

// True for a name such as "game.out.d64", as a run writes by default.
bool named_like_output(std::string_view name);

} // namespace mog
