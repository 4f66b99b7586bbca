// The argument walk and the checks of the names and modes it gives. Nothing
// here prints or ends the process: the run sequence reports what was found.
#pragma once

#include <string>

#include "cli/run_options.h"

namespace mog {

// What the command line asks for besides a run.
enum class Request { run, examples, help, version };

enum class CommandLineError {
    none,
    line_number_missing,
    line_number_out_of_range,
    machine_missing,
    unknown_machine,
    unknown_option,
    bad_argument,
    view_with_interactive,
    view_with_line_number,
    options_conflict,
    destination_with_check,
    no_source,
    unknown_extension,
    extensions_differ,
    interactive_with_one_program,
};

struct CommandLine {
    RunOptions options;
    Request request = Request::run;
    CommandLineError error = CommandLineError::none;
    std::string offending; // the argument, or the part of it, an error names
};

// Walks the arguments in order. Stops at the first bad argument, or at an
// option such as -examples that asks for something other than a run. After
// "--" every argument is a name.
CommandLine walk_arguments(int argc, char** argv);

// The checks after the walk, in their order; sets the command line's error.
// Derives the default destination on the way (destination_derived tells
// that it is to be announced, also when a later check fails). The source's
// existence is checked by the caller.
void check_command_line(CommandLine& command_line);

// Converts like atoi, but digits beyond what an int holds give a value above
// 65535 instead of overflowing.
long parse_line_number(const char* text);

} // namespace mog
