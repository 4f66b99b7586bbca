// The command line: the argument walk and the checks of the names and modes
// it gives, into one value. Nothing here prints or ends the process: the run
// sequence reports what was found.
#pragma once

#include "cli/failure.h"
#include "cli/options.h"

namespace mog {

// What the command line asks for besides a run.
enum class Request { run, examples, help, version };

struct CommandLine {
    Request request = Request::run;
    Options options;
    SingleTarget target;     // a run that is not a batch
    Failure walk_failure;    // the first bad argument; the walk stops there
    Failure check_failure;   // the first check after the walk that fails
    bool many_names = false; // a third name without --batch stopped the walk
};

// Walks the arguments in order and checks what they give. Stops at the
// first bad argument, or at an option such as -examples that asks for
// something other than a run. After "--" every argument is a name. Unless -n
// gives the line number, it is the year, asked for once. The output format
// is known also when the walk stops early, so that its failure is reported
// in that format.
CommandLine read_command_line(int argc, char** argv, int (*year)());

} // namespace mog
