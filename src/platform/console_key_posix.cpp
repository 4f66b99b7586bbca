#include "platform/console_key.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/interruptions_posix.h"

namespace mog {

namespace {

termios saved_settings;
termios single_key_settings;
volatile sig_atomic_t settings_changed = 0;

// Puts the terminal back as it was and lets the signal do what it would have done.
void restore_and_reraise(int signal_number) {
    if (settings_changed)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_settings);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Ctrl-Z: the shell gets its terminal back as it was while the tool is
// stopped.
void restore_and_stop(int) {
    int saved_errno = errno;
    if (settings_changed)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
    std::signal(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
    errno = saved_errno;
}

// Continued after a stop: the shell brought back line mode, so single keys
// are set again, and Ctrl-Z is caught again.
void resume_single_keys(int) {
    int saved_errno = errno;
    if (settings_changed) {
        std::signal(SIGTSTP, restore_and_stop);
        tcsetattr(STDIN_FILENO, TCSANOW, &single_key_settings);
    }
    errno = saved_errno;
}

// Job control: stopped and continued, the tool keeps the terminal right.
struct JobControl {
    int signal_number;
    void (*handler)(int);
};
constexpr JobControl JOB_CONTROL[] = {{SIGTSTP, restore_and_stop}, {SIGCONT, resume_single_keys}};

constexpr int INTERRUPTIONS = sizeof INTERRUPTING_SIGNALS / sizeof INTERRUPTING_SIGNALS[0];
constexpr int JOB_SIGNALS = sizeof JOB_CONTROL / sizeof JOB_CONTROL[0];

void install(int signal_number, void (*handler)(int), struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, previous);
}

// Whether input can be read before the deadline.
bool readable_before(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready{STDIN_FILENO, POLLIN, 0};
        int found = poll(&ready, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (found < 0 && errno == EINTR)
            continue;
        return found > 0 && (ready.revents & POLLIN) != 0;
    }
}

// Reads one byte if it comes before the deadline.
bool read_before(std::chrono::steady_clock::time_point deadline, unsigned char& byte) {
    for (;;) {
        if (!readable_before(deadline))
            return false;
        ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        return got == 1;
    }
}

bool line_ending(unsigned char byte) {
    return byte == '\r' || byte == '\n';
}

// Takes the line ending typed right after the key, CR LF as one; stops at
// the first other key, which goes to typed_ahead, since the terminal's line
// mode would not see it again. Keys after that stay in the terminal.
void take_line_ending(std::string& typed_ahead) {
    unsigned char next = 0;
    if (!read_before(std::chrono::steady_clock::now() + std::chrono::milliseconds(LINE_ENDING_WAIT_MS), next))
        return;
    if (!line_ending(next)) {
        typed_ahead += static_cast<char>(next);
        return;
    }
    if (next == '\r' && read_before(std::chrono::steady_clock::now(), next) && next != '\n')
        typed_ahead += static_cast<char>(next);
}

// Keys typed after the key, with no question after it to read them. A
// terminal cannot give a key back once it is read, so nothing is read but a
// line that the terminal, in line mode without echo, completes with one
// byte: an Enter. Longer lines, and keys typed together with the answer,
// which line mode makes a line of their own, stay for the shell.
void take_lone_line_ending() {
    int count = 0;
    if (ioctl(STDIN_FILENO, FIONREAD, &count) != 0 || count != 0)
        return;
    single_key_settings = saved_settings; // kept also after a stop
    single_key_settings.c_lflag = (single_key_settings.c_lflag | ICANON) & static_cast<tcflag_t>(~ECHO);
    if ((single_key_settings.c_iflag & (ICRNL | IGNCR)) == 0)
        single_key_settings.c_cc[VEOL] = '\r'; // a terminal that passes CR on: CR ends the line
    tcsetattr(STDIN_FILENO, TCSANOW, &single_key_settings);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(LINE_ENDING_WAIT_MS);
    unsigned char byte = 0;
    while (readable_before(deadline) && ioctl(STDIN_FILENO, FIONREAD, &count) == 0 && count == 1 &&
           read(STDIN_FILENO, &byte, 1) == 1 && byte == '\r')
        deadline = std::chrono::steady_clock::now(); // CR LF is one line ending
}

} // namespace

bool stdin_is_console() {
    return isatty(STDIN_FILENO) != 0;
}

int read_console_key(std::string* typed_ahead) {
    if (tcgetattr(STDIN_FILENO, &saved_settings) != 0)
        return -1;

    struct sigaction previous[INTERRUPTIONS + JOB_SIGNALS];
    for (int i = 0; i < INTERRUPTIONS; ++i)
        install(INTERRUPTING_SIGNALS[i], restore_and_reraise, &previous[i]);
    for (int i = 0; i < JOB_SIGNALS; ++i)
        install(JOB_CONTROL[i].signal_number, JOB_CONTROL[i].handler, &previous[INTERRUPTIONS + i]);

    single_key_settings = saved_settings;
    single_key_settings.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    single_key_settings.c_cc[VMIN] = 1;
    single_key_settings.c_cc[VTIME] = 0;
    settings_changed = 1;
    tcsetattr(STDIN_FILENO, TCSANOW, &single_key_settings);

    unsigned char key = 0;
    ssize_t got;
    do {
        got = read(STDIN_FILENO, &key, 1);
    } while (got < 0 && errno == EINTR);

    if (got == 1 && !line_ending(key)) {
        if (typed_ahead != nullptr)
            take_line_ending(*typed_ahead);
        else
            take_lone_line_ending();
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
    settings_changed = 0;
    for (int i = 0; i < INTERRUPTIONS; ++i)
        sigaction(INTERRUPTING_SIGNALS[i], &previous[i], nullptr);
    for (int i = 0; i < JOB_SIGNALS; ++i)
        sigaction(JOB_CONTROL[i].signal_number, &previous[INTERRUPTIONS + i], nullptr);
    return got == 1 ? key : -1;
}

} // namespace mog
