#include "cli/console.h"

#include <cstdarg>
#include <string>

#include "petscii/code_page_850.h"
#include "platform/console_key.h"
#include "text/utf8.h"

namespace mog {

namespace {

bool lost_output = false;
std::size_t status_width = 0; // columns of the status line now shown

void write_text(std::FILE* stream, std::string_view text) {
    if (!console_write(stream, text.data(), text.size()) && stream == stdout)
        lost_output = true;
}

bool is_control(unsigned char byte) {
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

void append_system_utf8(std::string& result, std::string_view text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
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

bool output_lost() {
    return lost_output;
}

void say_text(std::string_view text) {
    if (status_width > 0 && on_terminal(stdout))
        clear_status_line();
    write_text(stdout, text);
}

void say_error_text(std::string_view text) {
    clear_status_line();
    // Each stream is flushed before the other is written, so that a terminal
    // and a combined redirect show the text in the order it was produced.
    std::fflush(stdout);
    write_text(stderr, text);
    std::fflush(stderr);
}

void say(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    say_text(formatted_list(format, arguments));
    va_end(arguments);
}

void say_error(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    say_error_text(formatted_list(format, arguments));
    va_end(arguments);
}

void flush_output() {
    if (std::fflush(stdout) != 0)
        lost_output = true;
}

void append_displayed_text(std::string& result, Display display, std::string_view text, TextOrigin origin) {
    // Text ends at a zero byte, as it would on the console.
    text = text.substr(0, text.find('\0'));
    if (display == Display::bytes || origin == TextOrigin::tool) {
        result += text;
        return;
    }
    if (display == Display::utf8 && origin == TextOrigin::system) {
        append_system_utf8(result, text);
        return;
    }
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (display == Display::utf8)
            append_glyph_utf8(result, byte);
        else
            result += is_control(byte) ? '?' : c;
    }
}

std::string displayed_text(Display display, std::string_view text, TextOrigin origin) {
    std::string result;
    append_displayed_text(result, display, text, origin);
    return result;
}

std::string shown(std::FILE* stream, std::string_view text) {
    return displayed_text(stream_display(stream), text);
}

std::string shown_name(std::FILE* stream, std::string_view text) {
    return displayed_text(stream_display(stream), text, TextOrigin::system);
}

void clear_status_line() {
    if (status_width == 0)
        return;
    std::string blank(status_width + 2, ' ');
    blank.front() = '\r';
    blank.back() = '\r';
    status_width = 0;
    write_text(stderr, blank);
    std::fflush(stderr);
}

void show_status_line(std::string_view line) {
    clear_status_line();
    std::fflush(stdout);
    write_text(stderr, line);
    std::fflush(stderr);
    for (char c : line) // columns: UTF-8 bytes but continuation bytes
        status_width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

bool on_terminal(std::FILE* stream) {
    return stream_display(stream) != Display::bytes;
}

bool questions_echoed() {
    return stdin_is_console() && !on_terminal(stdout);
}

void ask(std::string_view text, TextOrigin origin) {
    say_text(displayed_text(stream_display(stdout), text, origin));
    if (questions_echoed())
        say_error_text(displayed_text(stream_display(stderr), text, origin));
    flush_output();
}

} // namespace mog
