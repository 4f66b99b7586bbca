// Asking before an existing destination is replaced.
#pragma once

#include "cli/failure.h"
#include "cli/run_options.h"

namespace mog {

// No failure when the destination is absent, -y answers for the user, or
// the user agrees to replace it (with --json nothing is asked, and only -y
// agrees); otherwise the failure of a refused
// overwrite. Something at the name counts as existing, even a link that
// leads nowhere or a file the user may not read. A destination that is no
// regular file (a device, a FIFO, a folder) is refused before the question,
// since writing would replace it with a file.
Failure guard_overwrite(const RunOptions& options);

// The key's answer: y or Y agrees.
bool key_agrees(int key);

// Reads the answer key: from the console one key without Enter; otherwise the
// first character of one line of standard input, -1 for an empty line or the
// end of input.
int read_answer_key();

} // namespace mog
