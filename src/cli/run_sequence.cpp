#include "cli/run_sequence.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/batch_run.h"
#include "cli/failure.h"
#include "cli/json_report.h"
#include "cli/single_run.h"
#include "cli/usage.h"
#include "platform/arguments.h"
#include "platform/console_output.h"

namespace mog {

namespace {

// After a failure the usage names the tool so, whatever name it was invoked by.
constexpr const char* TOOL_NAME = "mog";

// Ends the process; a run whose output could not be written (a full disk, a
// closed pipe) has not succeeded, whatever else went well.
[[noreturn]] void finish(int status) {
    flush_output();
    if (output_lost() && status == STATUS_SUCCESS) {
        std::fprintf(stderr, "ERROR: Cannot write output: %s.\n", std::strerror(errno));
        status = STATUS_FILE_ERROR;
    }
    std::exit(status);
}

[[noreturn]] void fail(const Failure& failure) {
    if (!failure.message.empty())
        say_error("%s", failure.message.c_str());
    if (failure.with_usage) {
        say("\n\n");
        print_usage(TOOL_NAME);
    } else if (!failure.message.empty()) {
        say_error("\n");
    }
    finish(failure.status);
}

void fail_if(const Failure& failure) {
    if (failure.failed())
        fail(failure);
}

} // namespace

void run_sequence(int argc, char** argv) {
    console_init();
    argv = utf8_arguments(argc, argv);
    if (argc <= 1) {
        print_usage(argc == 1 && argv[0] != nullptr ? argv[0] : "");
        finish(STATUS_SUCCESS);
    }

    CommandLine command_line = walk_arguments(argc, argv);
    // With --json standard output holds records only, also when the walk
    // stopped at a bad argument before reaching it; a text asked for, such
    // as --help, is printed all the same.
    if (command_line.error != CommandLineError::none && command_line.options.json)
        keep_text_off_output();
    fail_if(command_line_failure(command_line));
    switch (command_line.request) {
    case Request::run:
        break;
    case Request::examples:
        print_examples();
        finish(STATUS_SUCCESS);
    case Request::help:
        print_help();
        finish(STATUS_SUCCESS);
    case Request::version:
        print_version();
        finish(STATUS_SUCCESS);
    }
    RunOptions& options = command_line.options;
    check_command_line(command_line);
    if (options.json)
        keep_text_off_output();
    if (options.destination_derived)
        say("Destination file set to '%s'.\n", shown_name(stdout, options.destination->c_str()).c_str());
    fail_if(command_line_failure(command_line));
    if (options.batch)
        finish(run_batch(options));

    SourceBytes bytes;
    FileReport report = run_single(options, bytes);
    if (options.json)
        write_file_records(report, options);
    if (report.failure.failed())
        fail(report.failure);
    if (!options.check)
        say("Done.\n");
    finish(STATUS_SUCCESS);
}

} // namespace mog
