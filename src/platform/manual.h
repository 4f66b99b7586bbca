// Where the full manual is found, as the help text names it.
#pragma once

namespace mog {

// "man mog" where the manual page is installed; on Windows the plain-text
// manual shipped beside mog.exe.
const char* manual_reference();

} // namespace mog
