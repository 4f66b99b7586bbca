#include "cli/console.h"

#include <cstdarg>
#include <cstring>
#include <string>

#include "cli/utf8.h"
#include "petscii/code_page_850.h"
#include "platform/console_key.h"

namespace mog {

namespace {

bool lost_output = false;
bool text_off_output = false;

void write_text(std::FILE* stream, const char* text, std::size_t size) {
    if (!console_write(stream, text, size) && stream == stdout)
        lost_output = true;
}

} // namespace

bool output_lost() {
    return lost_output;
}

void keep_text_off_output() {
    text_off_output = true;
}

void write_output_line(const std::string& line) {
    write_text(stdout, line.data(), line.size());
    write_text(stdout, "\n", 1);
}

void say_to(std::FILE* stream, const char* format, std::va_list arguments) {
    if (stream == stdout && text_off_output)
        return;
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

std::string formatted(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
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

void append_system_utf8(std::string& result, const char* text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text);
    std::size_t left = std::strlen(text);
    while (left > 0) {
        char32_t code_point = 0;
        std::size_t length = utf8_sequence(at, left, code_point);
        if (length == 1 && is_control(*at))
            append_glyph_utf8(result, *at);
        else if (length == 2 && code_point < 0xA0) // C1 controls, U+0080 to U+009F
            result += '?';
        else if (length == 0)
            result += REPLACEMENT_CHARACTER;
        else
            result.append(reinterpret_cast<const char*>(at), length);
        length = length == 0 ? 1 : length;
        at += length;
        left -= length;
    }
}

} // namespace

std::string displayed_text(Display display, const char* text, TextOrigin origin) {
    if (display == Display::bytes || origin == TextOrigin::tool)
        return text;
    std::string result;
    if (display == Display::utf8 && origin == TextOrigin::system) {
        append_system_utf8(result, text);
        return result;
    }
    for (const char* at = text; *at != '\0'; ++at) {
        auto byte = static_cast<unsigned char>(*at);
        if (display == Display::utf8)
            append_glyph_utf8(result, byte);
        else
            result += is_control(byte) ? '?' : *at;
    }
    return result;
}

std::string shown(std::FILE* stream, const std::string& text) {
    return displayed_text(stream_display(stream), text.c_str());
}

std::string shown_name(std::FILE* stream, const char* text) {
    return displayed_text(stream_display(stream), text, TextOrigin::system);
}

bool questions_echoed() {
    return stdin_is_console() && stream_display(stdout) == Display::bytes;
}

void ask(const char* text, TextOrigin origin) {
    say("%s", displayed_text(stream_display(stdout), text, origin).c_str());
    if (questions_echoed())
        say_error("%s", displayed_text(stream_display(stderr), text, origin).c_str());
    flush_output();
}

} // namespace mog
