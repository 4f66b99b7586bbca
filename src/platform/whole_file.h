// What a file name stands for, and reading a file whole.
#pragma once

#include <cstddef>

enum class PathKind {
    absent,        // nothing at the name, not even a link
    dangling_link, // a link that leads nowhere, or round in a loop
    regular_file,
    folder,
    other, // a device, a FIFO, a socket
};

// What the name stands for, links followed. Opens nothing.
PathKind path_kind(const char* name);

// True when the regular file can be opened for reading.
bool can_read_file(const char* name);

// The error code for a name that is not a regular file, beside errno values.
constexpr int NOT_A_REGULAR_FILE = -1;

// The whole content of the source file, patched in place.
struct ImageBuffer {
    unsigned char* bytes = nullptr;
    std::size_t size = 0; // bytes actually read
    int error = 0;        // errno value or NOT_A_REGULAR_FILE when the file could not be read
};

// Reads a regular file of at most max_size bytes into one new buffer, with
// one read of at most the size it found. Anything else is refused before a
// byte is read: a folder (EISDIR), another kind of file
// (NOT_A_REGULAR_FILE), a larger file (EFBIG).
ImageBuffer read_whole_file(const char* name, std::size_t max_size);
