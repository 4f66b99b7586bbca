// Runs the built tool on a pseudo-terminal, as a user at a terminal would.
#pragma once

#include <string>
#include <termios.h>
#include <vector>

struct TerminalRun {
    int status = -1;    // exit status, or 128 + signal
    std::string screen; // everything the terminal received, CR LF as LF
    termios before{};   // the terminal's settings before the run
    termios after{};    // and after it
    std::string unread; // keys typed that the tool left in the terminal: what the shell reads next
};

// What the user does once the screen shows the prompt (after the previous
// step's prompt; an empty prompt is there at once) and the delay has passed:
// stop the tool and continue it with the terminal in line mode, as a shell's
// job control does, if asked; then send the signal, or type the keys.
struct TerminalStep {
    std::string prompt;
    std::string keys;
    int signal = 0;
    bool stop_in_line_mode = false;
    int delay_ms = 100; // by default a moment for the tool to switch the terminal to single keys
};

struct TerminalSettings {
    std::string locale = "C.UTF-8"; // LC_ALL for the run
    std::vector<TerminalStep> steps;
    std::string output_file;               // standard output goes here instead of to the terminal
    bool carriage_returns_through = false; // the terminal passes CR on as it is typed, not as a line feed
};

TerminalRun run_in_terminal(const std::string& folder, const std::vector<std::string>& arguments,
                            const TerminalSettings& settings);

// Whether two sets of terminal settings are the same in every field that matters.
bool same_settings(const termios& first, const termios& second);
