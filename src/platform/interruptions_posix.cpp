#include "platform/interruptions.h"

#include <csignal>
#include <cstdlib>
#include <iterator>
#include <pthread.h>

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

HeldInterruptions::HeldInterruptions() {
    sigset_t interrupting, before;
    sigemptyset(&interrupting);
    for (int signal_number : INTERRUPTING_SIGNALS)
        sigaddset(&interrupting, signal_number);
    if (pthread_sigmask(SIG_BLOCK, &interrupting, &before) != 0)
        return;
    for (unsigned k = 0; k < std::size(INTERRUPTING_SIGNALS); ++k)
        if (sigismember(&before, INTERRUPTING_SIGNALS[k]) == 0)
            held_ |= 1u << k;
}

// Only what this one held is let go: those held before stay held.
HeldInterruptions::~HeldInterruptions() {
    sigset_t released;
    sigemptyset(&released);
    for (unsigned k = 0; k < std::size(INTERRUPTING_SIGNALS); ++k)
        if ((held_ & (1u << k)) != 0)
            sigaddset(&released, INTERRUPTING_SIGNALS[k]);
    pthread_sigmask(SIG_UNBLOCK, &released, nullptr);
}

// A lease on a file sends SIGIO when another program opens it for writing;
// the tool's answer is to finish at once, which the open waits for.
void ignore_write_signals() {
    for (int signal_number : {SIGXFSZ, SIGIO}) {
        struct sigaction current {};
        if (sigaction(signal_number, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
            current.sa_handler == SIG_DFL)
            std::signal(signal_number, SIG_IGN);
    }
}

} // namespace mog
