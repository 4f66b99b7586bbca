// Reading a source file whole.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/file_access.h"
#include "platform/source_memory.h"

namespace mog {

// Reads a regular file of at most max_size bytes into the buffer, which is
// resized to the bytes actually read; a file that shrank since its size was
// taken gives fewer bytes. Anything else is refused before a byte is read: a
// folder (EISDIR), another kind of file (NOT_A_REGULAR_FILE), a larger file
// (EFBIG). Gives 0 or the error, and leaves the buffer empty on error.
int read_whole_file(const char* name, std::size_t max_size, SourceBytes& bytes);

} // namespace mog
