// The tool's entry: from the argument list to the exit status.
#pragma once

namespace mog {

// Never returns: every path ends the process. The one place that prints a
// failure and ends the process with its status.
[[noreturn]] void run_sequence(int argc, char** argv);

} // namespace mog
