// Asking before an existing destination is replaced.
#pragma once

#include <string>

#include "cli/failure.h"
#include "cli/options.h"
#include "platform/file_system.h"

namespace mog {

struct OverwriteGuard {
    Failure failure;
    // Whatever is at the destination's name when it is written may be
    // replaced: -y was given, or the user agreed to replace what existed. A
    // destination absent at the check may only be created, never replace
    // something that appeared since.
    bool replace_agreed = false;
    std::string typed_ahead; // keys typed after the answer, for the next question
};

// No failure when the destination is absent, -y answers for the user, or
// the user agrees to replace it (with --json nothing is asked, and only -y
// agrees); otherwise the failure of a refused overwrite. Something at the
// name counts as existing, even a link that leads nowhere or a file the user
// may not read. A destination that is no regular file (a device, a FIFO, a
// folder) or a link loop is refused before the question, since writing would
// replace it with a file or cannot reach one.
OverwriteGuard guard_overwrite(const Options& options, FileSystem& files, const Place& destination);

// The key's answer: y or Y agrees.
bool key_agrees(int key);

// Reads the answer key: from the console one key without Enter, with any
// key typed right after it that is no line ending in typed_ahead when that
// is given (otherwise such keys stay in the console); otherwise the first
// character of one line of standard input (of at most MAX_UNENDED_ANSWER
// bytes), -1 for an empty line or the end of input.
int read_answer_key(std::string* typed_ahead);

} // namespace mog
