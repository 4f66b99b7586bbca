#include "cli/command_line.h"

#include <cstring>
#include <string>

#include "basic/machines.h"
#include "basic/sys_line.h"
#include "image/container.h"

namespace mog {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Options that ask for a text instead of a run.
struct RequestOption {
    const char* name;
    Request request;
};
constexpr RequestOption REQUEST_OPTIONS[] = {
    {"-examples", Request::examples}, {"--help", Request::help}, {"--version", Request::version}};

Request request_named(const char* argument) {
    for (const RequestOption& option : REQUEST_OPTIONS)
        if (std::strcmp(argument, option.name) == 0)
            return option.request;
    return Request::run;
}

// Options that switch a mode on.
struct FlagOption {
    const char* name;
    bool RunOptions::*flag;
};
constexpr FlagOption FLAG_OPTIONS[] = {
    {"-i", &RunOptions::interactive},
    {"-v", &RunOptions::view},
    {"-y", &RunOptions::replace_without_asking},
    {"--json", &RunOptions::json},
    {"--unicode", &RunOptions::unicode},
    {"--check", &RunOptions::check},
    {"--batch", &RunOptions::batch},
    {"--in-place", &RunOptions::in_place},
};

bool* flag_named(RunOptions& options, const char* argument) {
    for (const FlagOption& option : FLAG_OPTIONS)
        if (std::strcmp(argument, option.name) == 0)
            return &(options.*option.flag);
    return nullptr;
}

// Options whose value is the next argument, whatever it looks like.
bool takes_value(const char* argument) {
    return std::strcmp(argument, "-n") == 0 || std::strcmp(argument, "--machine") == 0;
}

// Whether the command line holds the option before "--", where it is no
// option's value. A batch takes every name as a source, so it must be known
// before the names are; JSON output must be known before a bad argument is
// reported, so that the text of the report stays off standard output.
bool holds_option(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (takes_value(argv[i]))
            ++i;
        else if (std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

CommandLine& stop(CommandLine& command_line, CommandLineError error, const std::string& offending = "") {
    command_line.error = error;
    command_line.offending = offending;
    return command_line;
}

} // namespace

long parse_line_number(const char* text) {
    while (is_space(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value <= static_cast<long>(MAX_LINE_NUMBER)) // past the range, more digits change nothing
            value = value * 10 + (*text - '0');
    return negative ? -value : value;
}

CommandLine walk_arguments(int argc, char** argv) {
    CommandLine command_line;
    RunOptions& options = command_line.options;
    bool options_ended = false;
    const bool batch = holds_option(argc, argv, "--batch") || holds_option(argc, argv, "--in-place");
    options.json = holds_option(argc, argv, "--json");
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (options_ended || argument[0] != '-') {
            if (batch)
                options.names.push_back(argument);
            else if (options.source == nullptr)
                options.source = argument;
            else if (!options.destination)
                options.destination = argument;
            else
                return stop(command_line, CommandLineError::bad_argument, argument);
        } else if (std::strcmp(argument, "--") == 0) {
            options_ended = true;
        } else if (std::strcmp(argument, "-a") == 0) {
            options.petscii.table = &BLOCK_GLYPH_TABLE;
        } else if (std::strcmp(argument, "-o") == 0) {
            options.petscii.raw = true;
        } else if (bool* flag = flag_named(options, argument)) {
            *flag = true;
        } else if (std::strcmp(argument, "-n") == 0) {
            if (i + 1 >= argc)
                return stop(command_line, CommandLineError::line_number_missing);
            options.line_number = parse_line_number(argv[++i]);
            options.line_number_given = true;
            if (options.line_number < 0 || options.line_number > static_cast<long>(MAX_LINE_NUMBER))
                return stop(command_line, CommandLineError::line_number_out_of_range);
        } else if (std::strcmp(argument, "--machine") == 0) {
            if (i + 1 >= argc)
                return stop(command_line, CommandLineError::machine_missing);
            std::string bad_item;
            if (!basic_starts_of(argv[++i], options.basic_starts, bad_item))
                return stop(command_line, CommandLineError::unknown_machine, bad_item);
        } else if (Request request = request_named(argument); request != Request::run) {
            command_line.request = request;
            return command_line;
        } else {
            return stop(command_line, CommandLineError::unknown_option, argument);
        }
    }
    options.batch = options.batch || options.in_place;
    return command_line;
}

namespace {

CommandLineError first_error(CommandLine& command_line) {
    RunOptions& options = command_line.options;
    if (options.interactive && options.view)
        return CommandLineError::view_with_interactive;
    if (options.view && options.line_number_given)
        return CommandLineError::view_with_line_number;
    // Options that ask for opposite things; the message names both.
    const struct {
        bool both;
        const char* names;
    } conflicts[] = {
        {options.interactive && options.json, "-i and --json"},
        {options.interactive && options.check, "-i and --check"},
        {options.view && options.check, "-v and --check"},
        {options.petscii.raw && options.unicode, "-o and --unicode"},
        {options.interactive && options.in_place, "-i and --in-place"},
        {options.interactive && options.batch, "-i and --batch"},
        {options.view && options.in_place, "-v and --in-place"},
        {options.check && options.in_place, "--check and --in-place"},
    };
    for (const auto& conflict : conflicts)
        if (conflict.both) {
            command_line.offending = conflict.names;
            return CommandLineError::options_conflict;
        }
    if (options.batch) // each name is checked as it comes, and fails alone
        return options.names.empty() ? CommandLineError::no_source : CommandLineError::none;
    if (options.source == nullptr)
        return CommandLineError::no_source;
    if (!container_for_name(options.source, options.container))
        return CommandLineError::unknown_extension;

    // A check writes nothing, so it has no destination.
    if (options.check && options.destination) {
        command_line.offending = *options.destination;
        return CommandLineError::destination_with_check;
    }
    if (!options.destination && !options.view && !options.check) {
        options.destination = default_destination(options.source);
        options.destination_derived = true;
    }
    if (options.destination && !options.view && !same_extension(options.source, options.destination->c_str()))
        return CommandLineError::extensions_differ;
    if (!has_directory(options.container) && options.interactive)
        return CommandLineError::interactive_with_one_program;
    return CommandLineError::none;
}

} // namespace

void check_command_line(CommandLine& command_line) {
    command_line.error = first_error(command_line);
}

} // namespace mog
