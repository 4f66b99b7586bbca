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

// While it lives, interruptions wait, so that none ends the process while a
// file is replaced; one that came meanwhile arrives when it goes. Only a
// run that does not catch them holds them.
class HeldInterruptions {
  public:
    explicit HeldInterruptions(bool hold);
    ~HeldInterruptions();
    HeldInterruptions(const HeldInterruptions&) = delete;
    HeldInterruptions& operator=(const HeldInterruptions&) = delete;

  private:
    bool held_;
    alignas(8) unsigned char previous_[256]; // the signal mask before
};

// A write past a file-size limit fails as an error instead of ending the
// process: set up once by the tool, never by the library.
void let_size_limits_fail_writes();

} // namespace mog
