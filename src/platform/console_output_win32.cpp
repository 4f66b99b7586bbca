#include "platform/console_output.h"

#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>

namespace mog {

namespace {

HANDLE output_console = nullptr; // set when standard output is a console
HANDLE error_console = nullptr;

HANDLE console_of(DWORD standard_handle) {
    HANDLE handle = GetStdHandle(standard_handle);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

} // namespace

// Binary mode keeps every byte as written: no newline becomes CR LF.
void console_init() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    output_console = console_of(STD_OUTPUT_HANDLE);
    error_console = console_of(STD_ERROR_HANDLE);
}

Display stream_display(std::FILE* stream) {
    return (stream == stderr ? error_console : output_console) != nullptr ? Display::utf8 : Display::bytes;
}

// A console gets UTF-16 through WriteConsoleW, whatever code page it is set
// to, and its settings stay as the user had them.
bool console_write(std::FILE* stream, const char* text, std::size_t size) {
    HANDLE console = stream == stderr ? error_console : output_console;
    if (console == nullptr)
        return std::fwrite(text, 1, size, stream) == size;
    if (size == 0)
        return true;
    int wide_size = MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(size), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(size), wide.data(), wide_size);
    std::fflush(stream);
    DWORD written = 0;
    return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
           written == wide.size();
}

} // namespace mog
