#include "platform/interruptions.h"

#include <windows.h>

namespace mog {

namespace {

// The status a console shows for a program ended by Ctrl-C.
constexpr int CONTROL_C_EXIT = static_cast<int>(0xC000013A);

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

void end_interrupted(int) {
    ExitProcess(static_cast<UINT>(CONTROL_C_EXIT));
}

} // namespace mog
