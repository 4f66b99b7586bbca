// Replacing a file's content without risking the old content.
#pragma once

#include <span>

#include "platform/file_access.h"

namespace mog {

struct Replaced {
    int error = 0;         // 0, an errno value, NOT_A_REGULAR_FILE or IS_A_LINK
    FileIdentity identity; // of the file written
};

// Writes the bytes to a new file beside the destination and renames it over
// the destination only once every byte is written and the file is closed. On
// failure the new file is removed and an existing destination stays as it
// was. An existing destination keeps its permission bits; a symbolic link is
// written through to the file it points to. Unless replacing is allowed, the
// new file only takes a free name: whatever is at the name (even a link), also
// if it came there while the file was written, stays and gives EEXIST. A
// device or FIFO in the destination's place gives NOT_A_REGULAR_FILE.
//
// Signals that end the process by default wait until the rename is done or
// undone, unless the caller has caught them all so that none can end the
// process while a file is half written.
//
// With links refused, a link at the name is never written through nor
// replaced: the write fails with IS_A_LINK.
enum class Interruptions { hold, caught };
Replaced replace_file_bytes(const char* name, std::span<const unsigned char> bytes, bool replacing_allowed,
                            Interruptions interruptions = Interruptions::hold, Links links = Links::follow);

} // namespace mog
