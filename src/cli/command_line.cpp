#include "cli/command_line.h"

#include <cstring>
#include <string>
#include <string_view>

#include "mog/names.h"
#include "cli/texts.h"
#include "image/container.h"
#include "mog/line_number.h"
#include "mog/machines.h"
#include "mog/sources.h"

namespace mog {

namespace {

// The options as the walk meets them: flags that combine, checked against
// each other once the walk is done.
struct Flags {
    bool line_number = false; // -n was given
    bool view = false, interactive = false, json = false, unicode = false, check = false, batch = false,
         in_place = false, raw = false, blocks = false, yes = false, quiet = false, no_start_line_allowed = false,
         textconv = false;
};

// Options that ask for a text instead of a run.
struct RequestOption {
    const char* name;
    Request request;
};
constexpr RequestOption REQUEST_OPTIONS[] = {{"-examples", Request::examples},
                                             {"--examples", Request::examples},
                                             {"--help", Request::help},
                                             {"-h", Request::help},
                                             {"--version", Request::version}};

// Options that switch something on: their long or short name, and the
// letter by which they may go together in one argument, as -vy.
struct FlagOption {
    const char* name;
    char letter;
    bool Flags::*flag;
};
constexpr FlagOption FLAG_OPTIONS[] = {
    {"-a", 'a', &Flags::blocks},   {"-o", 'o', &Flags::raw},      {"-i", 'i', &Flags::interactive},
    {"-v", 'v', &Flags::view},     {"-y", 'y', &Flags::yes},      {"-q", 'q', &Flags::quiet},
    {"--quiet", 0, &Flags::quiet}, {"--json", 0, &Flags::json},   {"--unicode", 0, &Flags::unicode},
    {"--check", 0, &Flags::check}, {"--batch", 0, &Flags::batch}, {"--in-place", 0, &Flags::in_place},
    {"--allow-no-start-line", 0, &Flags::no_start_line_allowed},
};

// For git's diff: the next argument is the one file to show, whatever it
// looks like.
constexpr std::string_view TEXTCONV_OPTION = "--textconv";

const FlagOption* flag_named(std::string_view argument) {
    for (const FlagOption& option : FLAG_OPTIONS)
        if (argument == option.name)
            return &option;
    return nullptr;
}

const FlagOption* flag_lettered(char letter) {
    for (const FlagOption& option : FLAG_OPTIONS)
        if (option.letter != 0 && option.letter == letter)
            return &option;
    return nullptr;
}

constexpr char LINE_NUMBER_LETTER = 'n';
constexpr std::string_view MACHINE_OPTION = "--machine";

// Letters of flags that go together in one argument, the last one maybe -n
// with its value attached (-n2026, -yn2026). Gives where the value of -n
// begins (the argument's end when the next argument is its value), or
// nothing when the argument is no such bundle.
std::optional<std::size_t> bundle_value_at(std::string_view argument) {
    if (argument.size() < 2 || argument[0] != '-' || argument[1] == '-')
        return std::nullopt;
    for (std::size_t i = 1; i < argument.size(); ++i) {
        if (argument[i] == LINE_NUMBER_LETTER)
            return i + 1;
        if (flag_lettered(argument[i]) == nullptr)
            return std::nullopt;
    }
    return argument.size() + 1; // flags only
}

// True when the argument's value is the next argument, whatever it looks like.
bool value_follows(std::string_view argument) {
    if (argument == MACHINE_OPTION)
        return true;
    std::optional<std::size_t> value = bundle_value_at(argument);
    return value && *value == argument.size();
}

// Whether the command line holds the option before "--", where it is no
// option's value. A batch takes every name as a source, so it must be known
// before the names are; JSON output must be known before a bad argument is
// reported, so that the report keeps to it.
bool holds_option(int argc, char** argv, std::string_view name) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (value_follows(argv[i]))
            ++i;
        else if (argv[i] == name)
            return true;
    }
    return false;
}

Failure command_line_error(const char* format, const std::string& argument = "") {
    return failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::error, format, argument.c_str());
}

// Reads a value of -n into the options.
Failure take_line_number(const char* value, Options& options) {
    const ParsedLineNumber parsed = parse_line_number(value);
    if (parsed.outcome == LineNumberText::not_a_number)
        return command_line_error(TEXT_LINE_NUMBER_NOT_A_NUMBER, value);
    if (parsed.outcome != LineNumberText::number)
        return command_line_error(TEXT_LINE_NUMBER_OUT_OF_RANGE);
    options.line_number = parsed.number;
    return {};
}

Failure take_machines(std::string_view value, Options& options) {
    BasicStarts starts = basic_starts_of(value);
    if (starts.unknown_item)
        return failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::error, "%s", describe(starts).c_str());
    options.basic_starts = std::move(starts.addresses);
    return {};
}

// Options that ask for opposite things, in the order they are checked; the
// message names both, or is the older one of its own.
struct Conflict {
    bool Flags::*first;
    bool Flags::*second;
    const char* names; // for TEXT_OPTIONS_CONFLICT; null where the message is its own
    const char* message = nullptr;
};
constexpr Conflict CONFLICTS[] = {
    {&Flags::interactive, &Flags::view, nullptr, TEXT_VIEW_WITH_INTERACTIVE},
    {&Flags::view, &Flags::line_number, nullptr, TEXT_VIEW_WITH_LINE_NUMBER},
    {&Flags::interactive, &Flags::json, "-i and --json"},
    {&Flags::interactive, &Flags::check, "-i and --check"},
    {&Flags::view, &Flags::check, "-v and --check"},
    {&Flags::raw, &Flags::unicode, "-o and --unicode"},
    {&Flags::interactive, &Flags::in_place, "-i and --in-place"},
    {&Flags::interactive, &Flags::batch, "-i and --batch"},
    {&Flags::view, &Flags::in_place, "-v and --in-place"},
    {&Flags::check, &Flags::in_place, "--check and --in-place"},
};

Failure conflict_failure(const Flags& flags) {
    for (const Conflict& conflict : CONFLICTS)
        if (flags.*conflict.first && flags.*conflict.second)
            return conflict.names != nullptr ? command_line_error(TEXT_OPTIONS_CONFLICT, conflict.names)
                                             : command_line_error(conflict.message);
    return {};
}

Mode mode_of(const Flags& flags) {
    if (flags.view)
        return Mode::view;
    if (flags.check)
        return Mode::check;
    return flags.interactive ? Mode::interactive : Mode::rewrite;
}

struct Walk {
    CommandLine& line;
    Flags& flags;
    int argc;
    char** argv;
    int at = 1;

    // The next argument, as the value of the option before it.
    const char* next_value() { return at + 1 < argc ? argv[++at] : nullptr; }

    Failure name(const char* argument) {
        Options& options = line.options;
        SingleTarget& target = line.target;
        if (flags.batch || flags.in_place)
            options.names.emplace_back(argument);
        else if (!source_given) {
            target.source = argument;
            source_given = true;
        } else if (!target.destination)
            target.destination = argument;
        else {
            Failure failure = command_line_error(TEXT_BAD_ARGUMENT, argument);
            failure.hint = TEXT_MANY_NAMES_HINT;
            return failure;
        }
        return {};
    }

    Failure bundle(std::string_view argument, std::size_t value_at) {
        for (std::size_t i = 1; i < argument.size() && i < value_at - 1; ++i)
            flags.*(flag_lettered(argument[i])->flag) = true;
        if (value_at > argument.size())
            return {};
        flags.line_number = true;
        if (value_at < argument.size())
            return take_line_number(argument.data() + value_at, line.options);
        const char* value = next_value();
        if (value == nullptr)
            return command_line_error(TEXT_LINE_NUMBER_MISSING);
        return take_line_number(value, line.options);
    }

    Failure option(const char* argument) {
        const std::string_view text = argument;
        if (const FlagOption* flag = flag_named(text)) {
            flags.*(flag->flag) = true;
            return {};
        }
        if (text == MACHINE_OPTION) {
            const char* value = next_value();
            if (value == nullptr)
                return command_line_error(TEXT_MACHINE_MISSING);
            return take_machines(value, line.options);
        }
        if (text.substr(0, MACHINE_OPTION.size() + 1) == std::string(MACHINE_OPTION) + "=")
            return take_machines(text.substr(MACHINE_OPTION.size() + 1), line.options);
        for (const RequestOption& request : REQUEST_OPTIONS)
            if (text == request.name) {
                line.request = request.request;
                return {};
            }
        if (std::optional<std::size_t> value_at = bundle_value_at(text))
            return bundle(text, *value_at);
        return command_line_error(TEXT_UNKNOWN_OPTION, argument);
    }

    bool source_given = false;
};

// A destination must be what its source is: a container file with the same
// extension, an archive or a Zip-Code part holding the same kind.
bool same_kind(std::string_view source, std::string_view destination) {
    const std::optional<SourceName> from = source_for_name(source);
    const std::optional<SourceName> to = source_for_name(destination);
    if (!from || !to || from->kind != to->kind || from->container != to->container)
        return false;
    return from->kind != SourceKind::container || same_extension(source, destination);
}

// The checks after the walk, in their order.
Failure check(CommandLine& line, const Flags& flags, bool source_given) {
    Options& options = line.options;
    SingleTarget& target = line.target;
    if (Failure failure = conflict_failure(flags); failure.failed())
        return failure;
    if (options.batch()) // each name is checked as it comes, and fails alone
        return options.names.empty() ? command_line_error(TEXT_NO_SOURCE) : Failure{};
    if (!source_given)
        return command_line_error(TEXT_NO_SOURCE);
    const std::optional<SourceName> source = source_for_name(target.source);
    if (!source)
        return failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::none, "%s", describe_unknown_kind().c_str());
    target.kind = *source;

    // A check writes nothing, so it has no destination.
    if (options.mode == Mode::check && target.destination)
        return command_line_error(TEXT_BAD_ARGUMENT, *target.destination);
    if (!target.destination && options.changes_files()) {
        target.destination = default_destination(target.source);
        target.destination_derived = true;
    }
    if (target.destination && options.mode != Mode::view && !same_kind(target.source, *target.destination))
        return failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::err, "%s", TEXT_EXTENSIONS_DIFFER);
    if (source->container && !has_directory(*source->container) && options.mode == Mode::interactive)
        return command_line_error(container_name(*source->container) == "p00" ? TEXT_NO_INTERACTIVE_P00
                                                                              : TEXT_NO_INTERACTIVE_PRG);
    return {};
}

} // namespace

CommandLine read_command_line(int argc, char** argv, int (*year)()) {
    CommandLine line;
    Flags flags;
    Options& options = line.options;
    flags.batch = holds_option(argc, argv, "--batch");
    flags.in_place = holds_option(argc, argv, "--in-place");
    if (holds_option(argc, argv, "--json"))
        options.format = OutputFormat::json;

    Walk walk{line, flags, argc, argv};
    bool options_ended = false;
    for (; walk.at < argc && line.request == Request::run && !line.walk_failure.failed(); ++walk.at) {
        const char* argument = argv[walk.at];
        if (options_ended || argument[0] != '-') {
            line.walk_failure = walk.name(argument);
        } else if (std::strcmp(argument, "--") == 0) {
            options_ended = true;
        } else if (argument == TEXTCONV_OPTION) {
            flags.textconv = flags.view = flags.quiet = flags.unicode = true;
            options_ended = true;
        } else {
            line.walk_failure = walk.option(argument);
        }
    }

    options.mode = mode_of(flags);
    options.scope = flags.in_place ? Scope::in_place : flags.batch ? Scope::batch : Scope::single;
    options.style.full_blocks = flags.blocks;
    if (flags.raw)
        options.style.characters = TextStyle::Characters::raw;
    else if (flags.unicode)
        options.style.characters = TextStyle::Characters::unicode;
    options.replace_without_asking = flags.yes;
    options.quiet = flags.quiet;
    options.start_line_optional = flags.no_start_line_allowed;
    options.textconv = flags.textconv;
    options.line_number_given = flags.line_number;
    if (!options.line_number_given && line.walk_failure.status == STATUS_SUCCESS && line.request == Request::run)
        options.line_number = static_cast<unsigned>(year());
    if (line.walk_failure.failed() || line.request != Request::run)
        return line;
    line.check_failure = check(line, flags, walk.source_given);
    return line;
}

} // namespace mog
