// Replacing a file's content without risking the old content.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "platform/file_access.h"

namespace mog {

struct Replaced {
    int error = 0;         // 0, an errno value or an error code of mog/files.h
    FileIdentity identity; // of the file written
};

// What a caller adds to a replacement. Each step gives 0 to go on, or an
// error code that gives the write up: the new file is removed and whatever
// is at the name stays as it was.
struct ReplaceChecks {
    // The new file has every byte but is not yet flushed nor closed; its
    // handle is given (to set what else it keeps, say).
    std::function<int(std::intptr_t new_file)> written;
    // The new file is closed: the last moment before the rename.
    std::function<int()> before_rename;
};

// Writes the bytes to a new file beside the destination and renames it over
// the destination only once every byte is written and the file is closed. On
// failure the new file is removed and an existing destination stays as it
// was. An existing destination keeps its permission bits (and its owner,
// where the process may give files away); a symbolic link is written through
// to the file it points to. Unless replacing is allowed, the new file only
// takes a free name: whatever is at the name (even a link), also if it came
// there while the file was written, stays and gives EEXIST. A device or FIFO
// in the destination's place gives NOT_A_REGULAR_FILE.
//
// Nothing of the process is changed: a caller that must not be ended half
// way by a signal holds or catches the signals itself (HeldInterruptions),
// and one that wants a file-size limit to fail the write with EFBIG ignores
// SIGXFSZ (ignore_write_signals).
//
// With links refused, a link at the name is never written through nor
// replaced: the write fails with IS_A_LINK.
Replaced replace_file_bytes(const char* name, std::span<const unsigned char> bytes, bool replacing_allowed,
                            Links links = Links::follow, const ReplaceChecks& checks = {});

} // namespace mog
