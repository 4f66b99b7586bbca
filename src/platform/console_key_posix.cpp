#include "platform/console_key.h"

#include <cerrno>
#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace {

termios saved_settings;
volatile sig_atomic_t settings_changed = 0;

// Puts the terminal back as it was and lets the signal do what it would have done.
void restore_and_reraise(int signal_number) {
    if (settings_changed)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_settings);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

constexpr int GUARDED_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

} // namespace

bool stdin_is_console() {
    return isatty(STDIN_FILENO) != 0;
}

int read_console_key() {
    if (tcgetattr(STDIN_FILENO, &saved_settings) != 0)
        return -1;

    struct sigaction guard {};
    guard.sa_handler = restore_and_reraise;
    sigemptyset(&guard.sa_mask);
    struct sigaction previous[sizeof GUARDED_SIGNALS / sizeof GUARDED_SIGNALS[0]];
    for (unsigned i = 0; i < sizeof GUARDED_SIGNALS / sizeof GUARDED_SIGNALS[0]; ++i)
        sigaction(GUARDED_SIGNALS[i], &guard, &previous[i]);

    termios single_key = saved_settings;
    single_key.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    single_key.c_cc[VMIN] = 1;
    single_key.c_cc[VTIME] = 0;
    settings_changed = 1;
    tcsetattr(STDIN_FILENO, TCSANOW, &single_key);

    unsigned char key = 0;
    ssize_t got;
    do {
        got = read(STDIN_FILENO, &key, 1);
    } while (got < 0 && errno == EINTR);

    tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
    settings_changed = 0;
    for (unsigned i = 0; i < sizeof GUARDED_SIGNALS / sizeof GUARDED_SIGNALS[0]; ++i)
        sigaction(GUARDED_SIGNALS[i], &previous[i], nullptr);
    return got == 1 ? key : -1;
}
