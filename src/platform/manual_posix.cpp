#include "platform/manual.h"

const char* manual_reference() {
    return "man mog";
}
