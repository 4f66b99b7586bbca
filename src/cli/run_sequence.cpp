#include "cli/run_sequence.h"

#include <algorithm>
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

// A single run ends as its file did; with an archive's members, as the
// worst of them: a failure, then a kept destination, then a failed check.
int single_run_status(const std::vector<FileReport>& reports) {
    for (const FileReport& report : reports)
        if (report.outcome == Outcome::failed)
            return report.failure.status;
    int status = STATUS_SUCCESS;
    for (const FileReport& report : reports) {
        if (report.failure.status == STATUS_OVERWRITE_REFUSED)
            return STATUS_OVERWRITE_REFUSED;
        status = std::max(status, report.failure.status);
    }
    return status;
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
    // git's diff must go on whatever the file is: the listing of a file that
    // cannot be listed says why, and the run succeeds.
    if (line.check_failure.failed() && !options.textconv)
        fail(reporter, options, line.check_failure);
    if (line.check_failure.failed()) {
        reporter.failure(options, nullptr, line.check_failure);
        finish(STATUS_SUCCESS);
    }
    const std::unique_ptr<FileSystem> files = system_file_system();
    if (options.batch())
        finish(run_batch(options, reporter, *files));

    Session session{options, reporter, *files};
    SingleRun single{line.target, {}};
    const std::vector<FileReport> reports = process_file(session, FileTask{Place{nullptr, line.target.source}}, &single);
    finish(options.textconv ? STATUS_SUCCESS : single_run_status(reports));
}

} // namespace mog
