// The naming rules every front end shares: where a change goes when no
// destination is named, and how a search knows such a name again.
#pragma once

#include <string>
#include <string_view>

namespace mog {

// The default destination for a source name of at least four characters:
// the name less its extension, then ".out" and the extension in lower case
// ("game.D81" gives "game.out.d81").
std::string default_destination(std::string_view source);

// True for a name such as "game.out.d64", as a run writes by default.
bool named_like_output(std::string_view name);

} // namespace mog
