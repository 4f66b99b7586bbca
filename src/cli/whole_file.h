// Reading and writing files whole.
#pragma once

#include <cstddef>

// The whole content of the source file, patched in place.
struct ImageBuffer {
    unsigned char* bytes = nullptr;
    std::size_t size = 0; // bytes actually read
    int error = 0;        // errno value when the file could not be read
};

// True if the file can be opened for reading; false for an absent name.
bool file_exists(const char* name);

// Reads the whole file into one new buffer. On failure bytes is null and
// error tells why.
ImageBuffer read_whole_file(const char* name);

// Replaces the file's content with size bytes from the buffer, leaving an
// existing file as it was when that fails. Gives 0 or an errno value.
int write_whole_file(const unsigned char* buffer, const char* name, std::size_t size);
