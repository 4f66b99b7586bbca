// Formatted text to standard output and standard error, in the order produced.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/console_output.h"

namespace mog {

#define MOG_PRINTF_FORMAT(format_index, first_argument) __attribute__((format(printf, format_index, first_argument)))

// Standard output.
void say(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);

// Turns the text for standard output off, as when standard output holds
// records for programs instead; standard error is not affected.
void keep_text_off_output();

// Writes a line of machine-readable output to standard output, text off or not.
void write_output_line(const std::string& line);

// Standard error; what standard output holds so far goes out first.
void say_error(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);

// Either stream; standard error is preceded by what standard output holds.
void say_to(std::FILE* stream, const char* format, std::va_list arguments);

// The formatted text as a string.
std::string formatted(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);

// Where a text comes from decides how a terminal shows it.
enum class TextOrigin {
    tool,      // the tool's own messages, always shown as they are
    commodore, // code page 850 bytes converted from PETSCII
    system,    // names the user typed, in the system's own encoding
};

// The text as a stream with the display shows it. A file or pipe gets it
// unchanged. On a UTF-8 terminal Commodore text shows every byte as its code
// page 850 glyph; system text goes out as it is, its invalid bytes as U+FFFD.
// On another terminal both go out as bytes. No control code ever reaches a
// terminal: C0 controls show as their code page 850 glyphs on a UTF-8
// terminal, and as '?' like C1 controls otherwise.
std::string displayed_text(Display display, const char* text, TextOrigin origin = TextOrigin::commodore);

// Commodore text (code page 850 characters) as the stream should show it.
std::string shown(std::FILE* stream, const std::string& text);

// A name from the command line as the stream should show it.
std::string shown_name(std::FILE* stream, const char* text);

// A question or prompt on standard output; also on standard error when the
// user answers at a terminal that standard output, redirected, does not
// reach.
void ask(const char* text, TextOrigin origin = TextOrigin::tool);

// True when questions also go to standard error.
bool questions_echoed();

// True once standard output did not take every byte given to it.
bool output_lost();

// Sends what standard output holds, so a question shows before the answer is read.
void flush_output();

} // namespace mog
