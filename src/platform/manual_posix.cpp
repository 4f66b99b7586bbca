#include "platform/manual.h"

namespace mog {

const char* manual_reference() {
    return "man mog";
}

} // namespace mog
