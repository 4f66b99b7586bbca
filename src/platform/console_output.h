// How the tool's text reaches the console or a redirected stream.
#pragma once

#include <cstddef>
#include <cstdio>

// Sets the standard streams up for exact bytes; called once at start-up.
void console_init();

// Writes text to standard output or standard error. Gives false when the
// stream did not take every byte.
bool console_write(std::FILE* stream, const char* text, std::size_t size);
