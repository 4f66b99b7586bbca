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

// _getch reads the console directly, without echo and without line editing,
// and leaves the console mode as it was. Keys typed after the answer, such
// as the Enter many type after y, belong to no later question.
int read_console_key() {
    int key = _getch();
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
    return key;
}

} // namespace mog
