#include "platform/console_key.h"

#include <conio.h>
#include <windows.h>

namespace mog {

// Only a real console counts: the NUL device also passes _isatty, but a key
// read from the console would then wait for a key nobody is asked to type.
bool stdin_is_console() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

namespace {

// Drops an Enter pressed within the wait after the key; stops at the first
// other key, which stays in the console's input for the next read. Key
// releases and other events answer nothing and are dropped on the way.
void take_line_ending() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const ULONGLONG deadline = GetTickCount64() + LINE_ENDING_WAIT_MS;
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        if (WaitForSingleObject(input, static_cast<DWORD>(deadline - now)) != WAIT_OBJECT_0)
            return;
        INPUT_RECORD record{};
        DWORD count = 0;
        if (!PeekConsoleInputW(input, &record, 1, &count))
            return;
        if (count == 0)
            continue;
        const bool key_down = record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown;
        const bool enter = key_down && record.Event.KeyEvent.wVirtualKeyCode == VK_RETURN;
        if (key_down && !enter && record.Event.KeyEvent.uChar.UnicodeChar != 0)
            return;
        if (!ReadConsoleInputW(input, &record, 1, &count) || enter)
            return;
    }
}

} // namespace

// _getch reads the console directly, without echo and without line editing,
// and leaves the console mode as it was. The console keeps keys typed after
// the answer, so nothing is left for typed_ahead.
int read_console_key(std::string*) {
    int key = _getch();
    if (key != '\r' && key != '\n')
        take_line_ending();
    return key;
}

} // namespace mog
