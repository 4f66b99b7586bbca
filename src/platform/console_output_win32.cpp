#include "platform/console_output.h"

#include <fcntl.h>
#include <io.h>

// Binary mode keeps every byte as written: no newline becomes CR LF.
void console_init() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
}

bool console_write(std::FILE* stream, const char* text, std::size_t size) {
    return std::fwrite(text, 1, size, stream) == size;
}
