// One key press from the console, without Enter and without echo.
#pragma once

namespace mog {

// True when standard input is an interactive console.
bool stdin_is_console();

// Reads one key from the console; the console's settings are restored
// afterwards, also when the read is interrupted. Gives the key's code, or -1
// when nothing could be read.
int read_console_key();

} // namespace mog
