#include "platform/interruptions.h"

#include <windows.h>

namespace mog {

namespace {

volatile LONG caught = 0;

BOOL WINAPI note(DWORD event) {
    InterlockedCompareExchange(&caught, static_cast<LONG>(event) + 1, 0);
    return TRUE;
}

} // namespace

void catch_interruptions() {
    SetConsoleCtrlHandler(note, TRUE);
}

int interruption_caught() {
    return static_cast<int>(caught);
}

// Ends with the status a console shows for a program ended by Ctrl-C.
void end_interrupted(int) {
    ExitProcess(static_cast<UINT>(CONTROL_C_EXIT));
}

// Windows sends no signals: a console's Ctrl-C reaches the handler the tool
// sets, and nothing is held.
HeldInterruptions::HeldInterruptions(bool hold) : held_(hold), previous_{} {}

HeldInterruptions::~HeldInterruptions() = default;

void let_size_limits_fail_writes() {}

} // namespace mog
