#include "cli/console.h"

#include <cstdarg>
#include <string>

#include "platform/console_output.h"

void say_to(std::FILE* stream, const char* format, std::va_list arguments) {
    // Each stream is flushed before the other is written, so that a terminal
    // and a combined redirect show the text in the order it was produced.
    if (stream == stderr)
        std::fflush(stdout);
    char text[512];
    std::va_list again;
    va_copy(again, arguments);
    int length = std::vsnprintf(text, sizeof text, format, arguments);
    if (length < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof text) {
        console_write(stream, text, static_cast<std::size_t>(length));
    } else {
        std::string long_text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(long_text.data(), long_text.size(), format, again);
        console_write(stream, long_text.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    if (stream == stderr)
        std::fflush(stderr);
}

void say(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    say_to(stdout, format, arguments);
    va_end(arguments);
}

void say_error(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    say_to(stderr, format, arguments);
    va_end(arguments);
}

void flush_output() {
    std::fflush(stdout);
}
