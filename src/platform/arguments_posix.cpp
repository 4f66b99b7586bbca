#include "platform/arguments.h"

namespace mog {

// File names are bytes on POSIX systems: they pass as they are.
char** utf8_arguments(int, char** argv) {
    return argv;
}

} // namespace mog
