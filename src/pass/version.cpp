#include "mog/version.h"

namespace mog {

const char* version() {
    return MOG_VERSION_STRING;
}

} // namespace mog
