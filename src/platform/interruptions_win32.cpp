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

// Windows sends no signals.
HeldInterruptions::HeldInterruptions() = default;
HeldInterruptions::~HeldInterruptions() = default;

void ignore_write_signals() {}

} // namespace mog
