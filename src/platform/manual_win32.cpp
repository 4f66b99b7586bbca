#include "platform/manual.h"

namespace mog {

// The zip puts the manual page, rendered as text, in this file beside mog.exe.
const char* manual_reference() {
    return "mog.txt";
}

} // namespace mog
