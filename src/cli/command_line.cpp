#include "cli/command_line.h"

#include <cstring>
#include <string>

#include "cli/failure.h"
#include "cli/run_options.h"
#include "cli/usage.h"
#include "cli/whole_file.h"

namespace {

constexpr long MAX_LINE_NUMBER = 0xFFFF;
constexpr std::size_t EXTENSION_LENGTH = 4;

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void take_name(CommandLine& command_line, char* argument) {
    if (command_line.source == nullptr)
        command_line.source = argument;
    else if (command_line.destination == nullptr)
        command_line.destination = argument;
    else
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: Bad argument %s", shown(stderr, argument));
}

} // namespace

bool same_extension(const char* first, const char* second) {
    std::size_t first_length = std::strlen(first);
    std::size_t second_length = std::strlen(second);
    if (first_length < EXTENSION_LENGTH || second_length < EXTENSION_LENGTH)
        return false;
    const char* a = first + first_length - EXTENSION_LENGTH;
    const char* b = second + second_length - EXTENSION_LENGTH;
    for (std::size_t i = 0; i < EXTENSION_LENGTH; ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

long parse_line_number(const char* text) {
    while (is_space(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value <= MAX_LINE_NUMBER) // past the range, more digits change nothing
            value = value * 10 + (*text - '0');
    return negative ? -value : value;
}

CommandLine walk_arguments(int argc, char** argv) {
    CommandLine command_line;
    run_options.glyph_table = &STANDARD_GLYPH_TABLE;
    for (int i = 1; i < argc; ++i) {
        char* argument = argv[i];
        if (std::strcmp(argument, "-a") == 0) {
            run_options.glyph_table = &BLOCK_GLYPH_TABLE;
        } else if (std::strcmp(argument, "-o") == 0) {
            run_options.raw_output = true;
        } else if (std::strcmp(argument, "-i") == 0) {
            run_options.interactive = true;
        } else if (std::strcmp(argument, "-v") == 0) {
            run_options.view = true;
        } else if (std::strcmp(argument, "-n") == 0) {
            if (i + 1 >= argc)
                fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: Argument after -n missing.");
            command_line.line_number = parse_line_number(argv[++i]);
            run_options.line_number_given = true;
            if (command_line.line_number < 0 || command_line.line_number > MAX_LINE_NUMBER)
                fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: Bad argument -n out of range.");
        } else if (std::strcmp(argument, "-examples") == 0) {
            print_examples();
            end_process(STATUS_SUCCESS);
        } else if (argument[0] == '-') {
            fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: Unknown option '%s'.", shown(stderr, argument));
        } else {
            take_name(command_line, argument);
        }
    }
    return command_line;
}

void check_command_line(CommandLine& command_line) {
    if (run_options.interactive && run_options.view)
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: Modes -v and -i don't go together.'.");
    if (run_options.view && run_options.line_number_given)
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: Modes -v and -n don't go together.'.");
    if (command_line.source == nullptr)
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: No source file given.");

    if (same_extension(command_line.source, ".prg"))
        command_line.kind = SourceKind::prg;
    else if (same_extension(command_line.source, ".d64"))
        command_line.kind = SourceKind::d64;
    else
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "Unknown extension of source file.");

    if (command_line.destination == nullptr && !run_options.view) {
        // Lives until the process ends, like the names from the command line.
        static std::string derived;
        derived.assign(command_line.source, std::strlen(command_line.source) - EXTENSION_LENGTH);
        derived += command_line.kind == SourceKind::prg ? ".out.prg" : ".out.d64";
        command_line.destination = derived.c_str();
        say("Destination file set to '%s'.\n", shown(stdout, command_line.destination));
    }
    if (!run_options.view && !same_extension(command_line.source, command_line.destination))
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERR: File extensions must match.");
    if (command_line.kind == SourceKind::prg && run_options.interactive)
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: No interactive mode for .prg files.'.");
    if (!file_exists(command_line.source))
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: File '%s' not found.", shown(stderr, command_line.source));
}
