#include "platform/console_output.h"

void console_init() {}

bool console_write(std::FILE* stream, const char* text, std::size_t size) {
    return std::fwrite(text, 1, size, stream) == size;
}
