#include "cli/console.h"

#include <cstdarg>
#include <string>

#include "petscii/code_page_850.h"

namespace {

bool lost_output = false;

void write_text(std::FILE* stream, const char* text, std::size_t size) {
    if (!console_write(stream, text, size) && stream == stdout)
        lost_output = true;
}

} // namespace

bool output_lost() {
    return lost_output;
}

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
        write_text(stream, text, static_cast<std::size_t>(length));
    } else {
        std::string long_text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(long_text.data(), long_text.size(), format, again);
        write_text(stream, long_text.data(), static_cast<std::size_t>(length));
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
    if (std::fflush(stdout) != 0)
        lost_output = true;
}

namespace {

bool is_control(unsigned char byte) {
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

} // namespace

std::string displayed_text(Display display, const char* text) {
    if (display == Display::bytes)
        return text;
    std::string result;
    for (const char* at = text; *at != '\0'; ++at) {
        auto byte = static_cast<unsigned char>(*at);
        if (display == Display::utf8)
            append_glyph_utf8(result, byte);
        else
            result += is_control(byte) ? '?' : *at;
    }
    return result;
}

const char* shown(std::FILE* stream, const char* text) {
    Display display = stream_display(stream);
    if (display == Display::bytes)
        return text;
    // A few texts may be needed at once, for one message.
    static std::string recent[4];
    static unsigned next = 0;
    std::string& result = recent[next++ % 4];
    result = displayed_text(display, text);
    return result.c_str();
}
