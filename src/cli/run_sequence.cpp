#include "cli/run_sequence.h"

#include <cstring>

#include "cli/failure.h"
#include "cli/overwrite_guard.h"
#include "cli/usage.h"
#include "platform/arguments.h"
#include "platform/console_output.h"
#include "platform/file_replace.h"
#include "platform/local_year.h"
#include "platform/whole_file.h"

namespace {

// Real containers are well under 1 MiB: a larger source is no container,
// and reading it (a 3 GiB sparse file, say) would only waste time.
constexpr std::size_t MAX_SOURCE_SIZE = 16 * 1024 * 1024;

// A source that is no regular file is never opened here: it fails at the
// read, with its reason.
bool source_present(const char* name) {
    switch (path_kind(name)) {
    case PathKind::absent:
    case PathKind::dangling_link:
        return false;
    case PathKind::regular_file:
        return can_read_file(name);
    case PathKind::folder:
    case PathKind::other:
        return true;
    }
    return false;
}

const char* reason(int error) {
    return error == NOT_A_REGULAR_FILE ? "Not a regular file" : std::strerror(error);
}

} // namespace

void report_command_line_error(const CommandLine& command_line) {
    const int status = STATUS_BAD_COMMAND_LINE;
    const char* argument = command_line.offending != nullptr ? shown_name(stderr, command_line.offending) : "";
    switch (command_line.error) {
    case CommandLineError::none:
        return;
    case CommandLineError::line_number_missing:
        fail_with_usage(status, "ERROR: Argument after -n missing.");
    case CommandLineError::line_number_out_of_range:
        fail_with_usage(status, "ERROR: Bad argument -n out of range.");
    case CommandLineError::unknown_option:
        fail_with_usage(status, "ERROR: Unknown option '%s'.", argument);
    case CommandLineError::bad_argument:
        fail_with_usage(status, "ERROR: Bad argument %s", argument);
    case CommandLineError::view_with_interactive:
        fail_with_usage(status, "ERROR: Modes -v and -i don't go together.'.");
    case CommandLineError::view_with_line_number:
        fail_with_usage(status, "ERROR: Modes -v and -n don't go together.'.");
    case CommandLineError::no_source:
        fail_with_usage(status, "ERROR: No source file given.");
    case CommandLineError::unknown_extension:
        fail_with_usage(status, "Unknown extension of source file.");
    case CommandLineError::extensions_differ:
        fail_with_usage(status, "ERR: File extensions must match.");
    case CommandLineError::interactive_with_one_program:
        if (command_line.options.container.kind == ContainerKind::p00)
            fail_with_usage(status, "ERROR: No interactive mode for .p00 files.");
        fail_with_usage(status, "ERROR: No interactive mode for .prg files.'.");
    }
}

void report_pass_failure(const PassOutcome& outcome) {
    switch (outcome.failure) {
    case PassFailure::none:
        return;
    case PassFailure::not_p00:
        fail_with_usage(STATUS_BAD_START_LINE, "ERR: Not a P00 file!");
    case PassFailure::no_sys_token:
        fail_with_usage(STATUS_BAD_START_LINE, "ERR: No SYS command where expected!");
    case PassFailure::unexpected_load_address:
        fail_with_usage(STATUS_BAD_START_LINE, "ERR: Unexpected startadress %02x%02x!", outcome.load_address >> 8,
                        outcome.load_address & 0xFF);
    }
}

void run_sequence(int argc, char** argv) {
    console_init();
    argv = utf8_arguments(argc, argv);
    if (argc <= 1) {
        print_usage(argc == 1 && argv[0] != nullptr ? argv[0] : "");
        end_process(STATUS_SUCCESS);
    }

    CommandLine command_line = walk_arguments(argc, argv);
    report_command_line_error(command_line);
    switch (command_line.request) {
    case Request::run:
        break;
    case Request::examples:
        print_examples();
        end_process(STATUS_SUCCESS);
    case Request::help:
        print_help();
        end_process(STATUS_SUCCESS);
    case Request::version:
        print_version();
        end_process(STATUS_SUCCESS);
    }
    RunOptions& options = command_line.options;
    command_line.error = check_command_line(options);
    if (options.destination_derived)
        say("Destination file set to '%s'.\n", shown_name(stdout, options.destination));
    report_command_line_error(command_line);
    if (!source_present(options.source))
        fail_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: File '%s' not found.", shown_name(stderr, options.source));
    if (options.destination != nullptr)
        guard_overwrite(options);

    static ImageBuffer image; // held until the process ends
    image = read_whole_file(options.source, MAX_SOURCE_SIZE);
    if (image.bytes == nullptr)
        fail_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot read file '%s': %s.", shown_name(stderr, options.source),
                           reason(image.error));

    long line_number = options.line_number;
    if (!options.line_number_given) {
        line_number = local_year();
        say("Current year: %i\n", static_cast<int>(line_number));
    }

    report_pass_failure(process_programs(options, image.bytes, image.size, line_number));
    if (!options.view) {
        int write_error = replace_file(options.destination, image.bytes, image.size);
        if (write_error != 0)
            fail_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': %s.",
                               shown_name(stderr, options.destination), reason(write_error));
    }

    say("Done.\n");
    end_process(STATUS_SUCCESS);
}
