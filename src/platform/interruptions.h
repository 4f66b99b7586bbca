// What ends the tool from outside (Ctrl-C, a closed terminal, kill): a long
// run catches it, finishes the file it is at, and then ends as it would have.
// Only the tool's front end calls these: the library changes nothing of the
// process.
#pragma once

namespace mog {

// From now on an interruption only sets a mark; calls in progress carry on.
void catch_interruptions();

// The interruption caught so far (its signal number on POSIX), or 0.
int interruption_caught();

// Ends the process as the interruption would have ended it, with the
// status a shell shows for it (130 for Ctrl-C).
[[noreturn]] void end_interrupted(int interruption);

// For its lifetime, interruptions that would end the process wait (on the
// calling thread), so that none ends it while a file is half written; one
// that came meanwhile arrives as it goes. Nothing to do on Windows, where
// Ctrl-C reaches the handler catch_interruptions sets.
class HeldInterruptions {
  public:
    HeldInterruptions();
    ~HeldInterruptions();
    HeldInterruptions(const HeldInterruptions&) = delete;
    HeldInterruptions& operator=(const HeldInterruptions&) = delete;

  private:
    unsigned held_ = 0; // which of the interruptions were not already held before
};

// Whether interruptions are held around each write, or were caught for the
// whole run.
enum class Interruptions { hold, caught };

// At start-up: a write beyond a file-size limit fails as a write (EFBIG)
// instead of ending the process, and a program opening a file the tool is
// about to replace only waits for it. Each signal is left as it is where the
// tool was started with it ignored or caught.
void ignore_write_signals();

} // namespace mog
