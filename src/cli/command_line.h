// The argument walk and the checks of the names and modes it gives.
#pragma once

enum class SourceKind { prg, d64 };

struct CommandLine {
    const char* source = nullptr;
    const char* destination = nullptr; // absent in view mode unless given
    SourceKind kind = SourceKind::prg;
    long line_number = 0; // the -n value, when given
};

// Walks the arguments into run_options and the names. Prints the examples and
// ends the process for -examples; fails through fail_with_usage on a bad argument.
CommandLine walk_arguments(int argc, char** argv);

// Checks modes and names after the walk, derives the default destination
// (and announces it) and checks that the source exists.
void check_command_line(CommandLine& command_line);

// Converts like atoi, but digits beyond what an int holds give a value above
// 65535 instead of overflowing.
long parse_line_number(const char* text);

// True when both end in the same four characters, ignoring letter case; a
// name shorter than four characters matches nothing.
bool same_extension(const char* first, const char* second);
