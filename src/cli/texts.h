// The tool's fixed texts. Scripts and users rely on every one of them byte
// for byte, as they have always been: the usage text's "(Version: 1.0.0)",
// the "'." tails, the messages without a newline of their own, the blanks
// at line ends. They stand here together so that none changes by accident;
// the words for what is found in files are the library's (mog/describe.h).
#pragma once

namespace mog {

// Printed around a run.
constexpr const char* TEXT_DESTINATION_SET = "Destination file set to '%s'.\n";
constexpr const char* TEXT_CURRENT_YEAR = "Current year: %i\n";
constexpr const char* TEXT_DONE = "Done.\n";
constexpr const char* TEXT_CHANGED_FILE = "Changed file '%s'.\n";
constexpr const char* TEXT_WARNING = "WARNING: %s\n";
constexpr const char* TEXT_ARCHIVE_KEPT = " (self-dissolving archive, kept)";
constexpr const char* TEXT_SAME_START_LINE = " (same start line as \"%s\")";
constexpr const char* TEXT_NO_START_LINE = "No start line.";

// The questions and what answers them.
constexpr const char* TEXT_DESTINATION_EXISTS = "Destination file already exists!\n";
constexpr const char* TEXT_PRESS_Y = "Press <y> to overwrite, any other to cancel. ";
constexpr const char* TEXT_OVERWRITE_ACTIVATED = "\nOverwrite activated!\n\n";
constexpr const char* TEXT_ENTER_LINE_NUMBERS = "Enter line number for each program or <enter> for no change.\n\n";
constexpr const char* TEXT_QUESTION = "%s (%d): ";
constexpr const char* TEXT_NEGATIVE_ANSWER = "Invalid input (no negativ numbers allowed).\n";
constexpr const char* TEXT_TOO_HIGH_ANSWER = "Invalid input (too high).\n";
constexpr const char* TEXT_INVALID_ANSWER = "Invalid input.\n";

// Command-line errors, without their "ERROR: " or "ERR: ".
constexpr const char* TEXT_LINE_NUMBER_MISSING = "Argument after -n missing.";
constexpr const char* TEXT_LINE_NUMBER_OUT_OF_RANGE = "Bad argument -n out of range.";
constexpr const char* TEXT_LINE_NUMBER_NOT_A_NUMBER = "Bad argument -n '%s' is not a number.";
constexpr const char* TEXT_MACHINE_MISSING = "Argument after --machine missing.";
constexpr const char* TEXT_UNKNOWN_OPTION = "Unknown option '%s'.";
constexpr const char* TEXT_BAD_ARGUMENT = "Bad argument %s";
constexpr const char* TEXT_MANY_NAMES_HINT = "With many names, --batch takes each one as a source.";
constexpr const char* TEXT_VIEW_WITH_INTERACTIVE = "Modes -v and -i don't go together.'.";
constexpr const char* TEXT_VIEW_WITH_LINE_NUMBER = "Modes -v and -n don't go together.'.";
constexpr const char* TEXT_OPTIONS_CONFLICT = "Options %s don't go together.";
constexpr const char* TEXT_NO_SOURCE = "No source file given.";
constexpr const char* TEXT_EXTENSIONS_DIFFER = "File extensions must match.";
constexpr const char* TEXT_NO_INTERACTIVE_PRG = "No interactive mode for .prg files.'.";
constexpr const char* TEXT_NO_INTERACTIVE_P00 = "No interactive mode for .p00 files.";
constexpr const char* TEXT_CANNOT_SEARCH = "Cannot search '%s': %s.";
constexpr const char* TEXT_CANNOT_WRITE_OUTPUT = "Cannot write output: %s.";
constexpr const char* TEXT_OTHER_FILE_WRITTEN_THERE =
    "Cannot write file '%s': Another file of the batch was written there.";

// The usage text, naming the tool as given; printed alone and after a failure.
void print_usage(const char* program_name);
void print_examples();
// Every option, source kind, machine and exit status.
void print_help();
void print_version();

} // namespace mog
