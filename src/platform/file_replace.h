// Replacing a file's content without risking the old content.
#pragma once

#include <cstddef>

namespace mog {

// Writes the bytes to a new file beside the destination and renames it over
// the destination only once every byte is written and the file is closed. On
// failure the new file is removed and an existing destination stays as it
// was. An existing destination keeps its permission bits; a symbolic link is
// written through to the file it points to. Unless replacing is allowed, the
// new file only takes a free name: whatever is at the name (even a link), also
// if it came there while the file was written, stays and gives EEXIST. Gives
// 0, an errno value, or NOT_A_REGULAR_FILE for a device or FIFO in the
// destination's place.
int replace_file(const char* name, const unsigned char* data, std::size_t size, bool replacing_allowed);

} // namespace mog
