#include "platform/console_key.h"

#include <conio.h>
#include <io.h>
#include <stdio.h>

bool stdin_is_console() {
    return _isatty(_fileno(stdin)) != 0;
}

// _getch reads the console directly, without echo and without line editing,
// and leaves the console mode as it was.
int read_console_key() {
    return _getch();
}
