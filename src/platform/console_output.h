// How the tool's text reaches the console or a redirected stream.
#pragma once

#include <cstddef>
#include <cstdio>

namespace mog {

// How a stream shows code page 850 text.
enum class Display {
    bytes,      // a file or pipe: the bytes go out unchanged
    utf8,       // a terminal that takes UTF-8 (on Windows, any console)
    safe_bytes, // a terminal with another character set: bytes, but no control codes
};

// Sets the standard streams up for exact bytes and finds out how standard
// output and standard error show text; a write beyond the file-size limit
// fails instead of ending the process. Called once at start-up.
void console_init();

// How standard output or standard error shows text, as found by console_init.
Display stream_display(std::FILE* stream);

// Writes text to standard output or standard error. Gives false when the
// stream did not take every byte.
bool console_write(std::FILE* stream, const char* text, std::size_t size);

} // namespace mog
