// Formatted text to standard output and standard error, in the order produced.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/console_output.h"

#define MOG_PRINTF_FORMAT(format_index, first_argument) __attribute__((format(printf, format_index, first_argument)))

// Standard output.
void say(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);

// Standard error; what standard output holds so far goes out first.
void say_error(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);

// Either stream; standard error is preceded by what standard output holds.
void say_to(std::FILE* stream, const char* format, std::va_list arguments);

// Code page 850 text as a stream with the display shows it: unchanged for a
// file or pipe; on a UTF-8 terminal every byte as its code page 850 glyph,
// control codes included, so that no text from a file or command line can
// drive the terminal; on another terminal control codes as '?'.
std::string displayed_text(Display display, const char* text);

// The text as the stream should show it. The result stays valid for the next
// few calls.
const char* shown(std::FILE* stream, const char* text);

// True once standard output did not take every byte given to it.
bool output_lost();

// Sends what standard output holds, so a question shows before the answer is read.
void flush_output();
