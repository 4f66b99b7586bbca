// What ends the tool from outside (Ctrl-C, a closed terminal, kill): a long
// run catches it, finishes the file it is at, and then ends as it would have.
#pragma once

namespace mog {

// From now on an interruption only sets a mark; calls in progress carry on.
void catch_interruptions();

// The interruption caught so far (its signal number on POSIX), or 0.
int interruption_caught();

// Ends the process as the interruption would have ended it, with the
// status a shell shows for it (130 for Ctrl-C).
[[noreturn]] void end_interrupted(int interruption);

} // namespace mog
