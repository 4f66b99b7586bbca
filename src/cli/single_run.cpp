#include "cli/single_run.h"

#include "cli/file_steps.h"
#include "cli/overwrite_guard.h"
#include "cli/text_report.h"
#include "platform/local_year.h"

namespace mog {

namespace {

// Shows, asks for, checks or sets each program's start line in the bytes.
void process_programs(const RunOptions& options, SourceBytes& bytes, AnswerInput& input, FileReport& report) {
    ProgramWalk walk = start_program_walk(options.container, bytes.data(), bytes.size());
    const std::size_t found_at_start = walk.notices.size();
    report.notices_at_start = found_at_start;
    print_notices(walk.notices, 0, found_at_start, options.container);
    if (options.interactive)
        ask("Enter line number for each program or <enter> for no change.\n\n");
    report.result = run_pass(walk, pass_request(options, &input));
    report.failure = pass_failure(report.result);
    if (report.failure.failed())
        return;
    if (options.check)
        print_check(report.file, report.result, options);
    else
        print_programs(options, report.result, bytes.data());
    print_notices(report.result.notices, found_at_start, report.result.notices.size(), options.container);
}

} // namespace

FileReport run_single(RunOptions& options, SourceBytes& bytes) {
    FileReport report;
    report.file = options.source;
    report.container = options.container;
    if (!source_present(options.source)) {
        report.failure = source_missing(options.source);
        return report;
    }
    OverwriteGuard guard;
    if (options.destination) {
        guard = guard_overwrite(options);
        report.failure = guard.failure;
        if (report.failure.failed())
            return report;
    }
    report.failure = read_source(options.source, bytes);
    if (report.failure.failed())
        return report;
    report.size = bytes.size();
    report.bytes = bytes.data();

    if (!options.line_number_given) {
        options.line_number = local_year();
        say("Current year: %i\n", static_cast<int>(options.line_number));
    }
    AnswerInput input{guard.typed_ahead};
    process_programs(options, bytes, input, report);
    if (report.failure.failed())
        return report;
    if (options.check) {
        if (any_lacks_number(report.result, static_cast<unsigned>(options.line_number)))
            report.failure = Failure{STATUS_CHECK_FAILED, "", false};
        return report;
    }
    if (!options.view) {
        report.failure = write_destination(*options.destination, bytes, guard.replace_agreed);
        if (!report.failure.failed())
            report.written = options.destination;
    }
    return report;
}

} // namespace mog
