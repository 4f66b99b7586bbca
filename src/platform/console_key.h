// One key press from the console, without Enter and without echo.
#pragma once

#include <string>

namespace mog {

// True when standard input is an interactive console.
bool stdin_is_console();

// Reads one key from the console; the console's settings are restored
// afterwards, also when the read is interrupted. Gives the key's code, or -1
// when nothing could be read. A line ending typed within LINE_ENDING_WAIT_MS
// after the key, such as the Enter many type after y, belongs to the key and
// is taken with it. A key typed there instead is no part of the answer: it is
// left for the next read, or, when typed_ahead is given (a question follows),
// maybe given there when only this read can take it from the console.
int read_console_key(std::string* typed_ahead);

constexpr int LINE_ENDING_WAIT_MS = 500;

} // namespace mog
