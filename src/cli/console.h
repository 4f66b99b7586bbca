// Text to standard output and standard error, in the order produced, and as
// each stream's display shows it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/console_output.h"
#include "text/format.h"

namespace mog {

// Standard output.
void say(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);
void say_text(std::string_view text);

// Standard error; what standard output holds so far goes out first.
void say_error(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);
void say_error_text(std::string_view text);

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
std::string displayed_text(Display display, std::string_view text, TextOrigin origin = TextOrigin::commodore);
// The same, appended to a text.
void append_displayed_text(std::string& result, Display display, std::string_view text,
                           TextOrigin origin = TextOrigin::commodore);

// Commodore text (code page 850 characters) as the stream should show it.
std::string shown(std::FILE* stream, std::string_view text);

// A name from the command line, or a message holding one, as the stream
// should show it.
std::string shown_name(std::FILE* stream, std::string_view text);

// A question or prompt on standard output; also on standard error when the
// user answers at a terminal that standard output, redirected, does not
// reach.
void ask(std::string_view text, TextOrigin origin = TextOrigin::tool);

// True when questions also go to standard error.
bool questions_echoed();

// True when the stream is a terminal.
bool on_terminal(std::FILE* stream);

// A line on standard error that shows how far a long run is, on a terminal;
// whatever else is printed to a terminal takes its place first.
void show_status_line(std::string_view line);
void clear_status_line();

// True once standard output did not take every byte given to it.
bool output_lost();

// Sends what standard output holds: a question shows before the answer is
// read, and a file's lines are whole in the log before the next file.
void flush_output();

} // namespace mog
