#include "cli/run_sequence.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/batch_run.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/file_pipeline.h"
#include "cli/texts.h"
#include "platform/arguments.h"
#include "platform/console_output.h"
#include "platform/interruptions.h"

namespace mog {

namespace {

// Ends the process; a run whose output could not be written (a full disk, a
// closed pipe) has not succeeded, whatever else went well.
[[noreturn]] void finish(int status) {
    flush_output();
    if (output_lost() && status == STATUS_SUCCESS) {
        const std::string reason = std::strerror(errno);
        say_error_text("ERROR: " + formatted(TEXT_CANNOT_WRITE_OUTPUT, reason.c_str()) + "\n");
        status = STATUS_FILE_ERROR;
    }
    std::exit(status);
}

[[noreturn]] void fail(const Reporter& reporter, const Options& options, const Failure& failure) {
    reporter.failure(options, nullptr, failure);
    finish(failure.status);
}

} // namespace

void run_sequence(int argc, char** argv) {
    console_init();
    ignore_write_signals();
    argv = utf8_arguments(argc, argv);
    if (argc <= 1) {
        print_usage(argc == 1 && argv[0] != nullptr ? argv[0] : "");
        finish(STATUS_SUCCESS);
    }

    const CommandLine line = read_command_line(argc, argv, current_year);
    const Options& options = line.options;
    const Reporter& reporter = reporter_for(options);
    if (line.walk_failure.failed())
        fail(reporter, options, line.walk_failure);
    switch (line.request) {
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
    if (!options.batch())
        reporter.run_begins(options, &line.target);
    if (line.check_failure.failed())
        fail(reporter, options, line.check_failure);
    if (options.batch())
        finish(run_batch(options, reporter));

    Session session{options, reporter};
    SingleRun single{line.target, {}};
    std::optional<FileReport> report = process_file(session, FileTask{line.target.source}, &single);
    finish(report ? report->failure.status : STATUS_SUCCESS);
}

} // namespace mog
