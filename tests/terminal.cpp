#include "terminal.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "process_runner.h"

namespace {

constexpr auto RUN_TIME_LIMIT = std::chrono::seconds(20);

[[noreturn]] void exec_on_terminal(int terminal, const std::string& folder, const std::vector<std::string>& arguments,
                                   const TerminalSettings& settings) {
    setsid();
    ioctl(terminal, TIOCSCTTY, 0);
    dup2(terminal, STDIN_FILENO);
    dup2(terminal, STDOUT_FILENO);
    dup2(terminal, STDERR_FILENO);
    if (terminal > STDERR_FILENO)
        close(terminal);
    if (!settings.output_file.empty()) {
        int output = open(settings.output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(output, STDOUT_FILENO);
        close(output);
    }
    setenv("LC_ALL", settings.locale.c_str(), 1);
    if (chdir(folder.c_str()) != 0)
        _exit(126);
    exec_tool(arguments);
}

std::string without_carriage_returns(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            result += text[i];
    return result;
}

} // namespace

TerminalRun run_in_terminal(const std::string& folder, const std::vector<std::string>& arguments,
                            const TerminalSettings& settings) {
    TerminalRun run;
    int controller = -1, terminal = -1;
    if (openpty(&controller, &terminal, nullptr, nullptr, nullptr) != 0)
        return run;
    if (settings.carriage_returns_through) {
        termios passing{};
        tcgetattr(terminal, &passing);
        passing.c_iflag &= static_cast<tcflag_t>(~ICRNL);
        tcsetattr(terminal, TCSANOW, &passing);
    }
    tcgetattr(terminal, &run.before);

    pid_t child = fork();
    if (child == 0) {
        close(controller);
        exec_on_terminal(terminal, folder, arguments, settings);
    }

    std::string raw;
    std::size_t step = 0, seen_up_to = 0;
    int wait_status = 0;
    bool ended = false;
    auto deadline = std::chrono::steady_clock::now() + RUN_TIME_LIMIT;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{controller, POLLIN, 0};
        if (poll(&ready, 1, 10) > 0 && (ready.revents & POLLIN)) {
            char chunk[4096];
            ssize_t got = read(controller, chunk, sizeof chunk);
            if (got > 0)
                raw.append(chunk, static_cast<std::size_t>(got));
        }
        std::size_t shown =
            step < settings.steps.size() ? raw.find(settings.steps[step].prompt, seen_up_to) : std::string::npos;
        if (shown != std::string::npos) {
            const TerminalStep& now = settings.steps[step++];
            seen_up_to = shown + now.prompt.size();
            usleep(static_cast<useconds_t>(now.delay_ms) * 1000);
            if (now.stop_in_line_mode) {
                kill(child, SIGSTOP);
                waitpid(child, &wait_status, WUNTRACED);
                tcsetattr(terminal, TCSANOW, &run.before);
                kill(child, SIGCONT);
                usleep(100000);
            }
            if (now.signal != 0)
                kill(child, now.signal);
            else
                (void)!write(controller, now.keys.data(), now.keys.size());
        }
        if (!ended && waitpid(child, &wait_status, WNOHANG) == child)
            ended = true;
        if (ended) {
            // Collect what is still in the terminal, then stop.
            pollfd rest{controller, POLLIN, 0};
            if (poll(&rest, 1, 50) <= 0 || !(rest.revents & POLLIN))
                break;
        }
    }
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &wait_status, 0);
    }
    run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    tcgetattr(terminal, &run.after);
    termios single_keys = run.after;
    single_keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    single_keys.c_cc[VMIN] = 0;
    single_keys.c_cc[VTIME] = 0;
    tcsetattr(terminal, TCSANOW, &single_keys);
    char left[256];
    for (ssize_t got; (got = read(terminal, left, sizeof left)) > 0;)
        run.unread.append(left, static_cast<std::size_t>(got));
    close(terminal);
    close(controller);
    run.screen = without_carriage_returns(raw);
    return run;
}

bool same_settings(const termios& first, const termios& second) {
    return first.c_iflag == second.c_iflag && first.c_oflag == second.c_oflag && first.c_cflag == second.c_cflag &&
           first.c_lflag == second.c_lflag && std::memcmp(first.c_cc, second.c_cc, sizeof first.c_cc) == 0;
}
