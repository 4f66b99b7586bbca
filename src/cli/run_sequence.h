// The tool's entry: from the argument list to the exit status.
#pragma once

// Never returns: every path ends the process.
[[noreturn]] void run_sequence(int argc, char** argv);
