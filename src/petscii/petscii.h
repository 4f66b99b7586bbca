// Conversion of PETSCII bytes to console (code page 850) characters.
#pragma once

#include <cstddef>

// One PETSCII byte as the console character chosen by the run's options.
unsigned char petscii_to_console(unsigned char petscii);

// Converts source bytes up to the first zero byte or source_size bytes,
// whichever comes first, and ends the text with a zero byte. The destination
// must hold source_size + 1 bytes. Gives the number of characters stored.
std::size_t convert_petscii_string(char* destination, const unsigned char* source, std::size_t source_size);
