#include "platform/arguments.h"

// File names are bytes on POSIX systems: they pass as they are.
char** utf8_arguments(int, char** argv) {
    return argv;
}
