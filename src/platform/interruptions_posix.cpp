#include "platform/interruptions.h"

#include <csignal>
#include <cstdlib>

#include "platform/interruptions_posix.h"

namespace mog {

namespace {

volatile std::sig_atomic_t caught = 0;

void note(int signal_number) {
    if (caught == 0)
        caught = signal_number;
}

} // namespace

// A signal the caller set to be ignored (nohup, a background job of a
// script, a pipeline's reader that went away) stays ignored.
void catch_interruptions() {
    struct sigaction action {};
    action.sa_handler = note;
    action.sa_flags = SA_RESTART; // a read or write in progress goes on
    sigemptyset(&action.sa_mask);
    for (int signal_number : INTERRUPTING_SIGNALS) {
        struct sigaction inherited {};
        if (sigaction(signal_number, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        sigaction(signal_number, &action, nullptr);
    }
}

int interruption_caught() {
    return caught;
}

void end_interrupted(int interruption) {
    std::signal(interruption, SIG_DFL);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, interruption);
    sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
    std::raise(interruption);
    std::_Exit(128 + interruption); // a signal that would not end the process
}

HeldInterruptions::HeldInterruptions(bool hold) : held_(hold), previous_{} {
    static_assert(sizeof(sigset_t) <= sizeof previous_);
    if (!held_)
        return;
    sigset_t held;
    sigemptyset(&held);
    for (int signal_number : INTERRUPTING_SIGNALS)
        sigaddset(&held, signal_number);
    sigprocmask(SIG_BLOCK, &held, reinterpret_cast<sigset_t*>(previous_));
}

HeldInterruptions::~HeldInterruptions() {
    if (held_)
        sigprocmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(previous_), nullptr);
}

void let_size_limits_fail_writes() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace mog
