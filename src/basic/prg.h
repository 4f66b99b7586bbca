// A PRG file: check, show or rewrite its start line.
#pragma once

#include <cstddef>

// Shows the start line (view mode) or sets its number and writes the buffer
// to the destination with the source's size. Ends the process through
// fail_with_usage when the start line is not as expected. Gives 0, or the
// errno value of a failed write.
int handle_prg(unsigned char* buffer, std::size_t size, const char* destination, long line_number);
