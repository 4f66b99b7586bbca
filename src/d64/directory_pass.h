// The pass over a disk image's directory: show, ask for or set each
// program's start line.
#pragma once

#include <cstddef>

// Warns about an unusual size, runs the pass and, outside view mode, writes
// the image with the source's own size. Gives 0, or the errno value of a
// failed write.
int handle_d64(unsigned char* buffer, std::size_t size, const char* destination, long line_number);

// Every directory entry in use: its start line shown (view mode), asked for
// (interactive mode) or set to the line number.
void process_directory(unsigned char* buffer, std::size_t size, long line_number);
