// The tool's entry: from the argument list to the exit status.
#pragma once

#include "cli/command_line.h"
#include "cli/program_pass.h"

// Never returns: every path ends the process.
[[noreturn]] void run_sequence(int argc, char** argv);

// Reports a command-line error with its message and the usage, and ends the
// process; returns at once when there is no error.
void report_command_line_error(const CommandLine& command_line);

// Reports a start line that is not as expected and ends the process; returns
// at once when the pass succeeded.
void report_pass_failure(const PassOutcome& outcome);
