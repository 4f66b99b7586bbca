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
};

struct TerminalSettings {
    std::string locale = "C.UTF-8"; // LC_ALL for the run
    std::string prompt;             // when the screen shows this, the keys are typed
    std::string keys;
};

TerminalRun run_in_terminal(const std::string& folder, const std::vector<std::string>& arguments,
                            const TerminalSettings& settings);

// Whether two sets of terminal settings are the same in every field that matters.
bool same_settings(const termios& first, const termios& second);
