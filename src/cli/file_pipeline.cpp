#include "cli/file_pipeline.h"

#include <cstring>

#include "cli/console.h"
#include "cli/overwrite_guard.h"
#include "cli/texts.h"
#include "mog/names.h"
#include "platform/interruptions.h"

namespace mog {

namespace {

void fail(FileReport& report, const Failure& failure) {
    report.failure = failure;
    report.outcome = Outcome::failed;
}

PassRequest request_for(const Options& options, SingleRun* single) {
    if (options.mode == Mode::interactive && single != nullptr)
        return interactive_request(options, single->answers);
    PassRequest request;
    request.basic_starts = options.basic_starts;
    if (options.changes_files())
        request.each = Decision{Action::set, options.line_number};
    return request;
}

// What the tool says about the verdict: a failed pass in its own words, a
// status alone for what a check or a batch found.
Failure failure_of(const FileReport& report) {
    const Verdict& verdict = report.verdict;
    if (verdict.fault == Fault::pass && verdict.status != STATUS_CHECK_FAILED && verdict.status != STATUS_SUCCESS)
        return pass_failure(report.result);
    return verdict.status != STATUS_SUCCESS ? silent_failure(verdict.status) : Failure{};
}

// Writes the bytes as agreed, and notes what was written.
void write(Session& session, FileReport& report, const Place& destination, const ReplaceRules& rules) {
    report.destination = destination.path();
    Replaced replaced;
    {
        HeldInterruptions held(!session.interruptions_caught);
        replaced = session.files.replace(destination, session.buffer, rules);
    }
    if (replaced.error != 0)
        return fail(report, file_failure(FileError{FileStep::write, replaced.error, report.destination}));
    report.written = report.destination;
    report.outcome = Outcome::changed;
    session.written.insert(replaced.identity);
    if (session.options.scope == Scope::in_place)
        session.done.insert(replaced.identity);
}

void keep(FileReport& report, KeptBecause because) {
    report.outcome = Outcome::kept;
    report.kept_because = because;
    report.failure = silent_failure(STATUS_OVERWRITE_REFUSED);
}

// In a batch only what changes is written: a second identical run writes
// nothing. In place the file itself is replaced, written through a link only
// where the link was named; a derived destination is replaced only with -y,
// and never one that appeared meanwhile, and never through a link.
void write_batch_file(Session& session, const FileTask& task, FileReport& report) {
    const Options& options = session.options;
    if (report.verdict.outcome != Outcome::changed)
        return;
    if (options.scope == Scope::in_place)
        return write(session, report, task.place,
                     ReplaceRules{true, task.found_in_folder ? Links::refuse : Links::follow, std::nullopt});
    const Place destination = task.place.sibling(default_destination(task.place.name));
    report.destination = destination.path();
    const NameUse use = session.files.name_use(destination);
    // A link there leads who knows where: it is not written through.
    if (use == NameUse::link)
        return keep(report, KeptBecause::destination_is_link);
    const bool exists = use == NameUse::taken;
    // Two sources, such as game.d64 and game.D64, may have one default
    // destination: the second must not replace the first one's result.
    if (exists) {
        std::optional<FileIdentity> identity = session.files.identity(destination);
        if (identity && session.written.count(*identity) != 0)
            return fail(report, failure_without_usage(STATUS_FILE_ERROR, Prefix::error, TEXT_OTHER_FILE_WRITTEN_THERE,
                                                      report.destination.c_str()));
        // A file the batch is to read, or has read, is no place for another's result.
        if (identity && session.named_sources.count(*identity) != 0)
            return keep(report, KeptBecause::destination_is_source);
    }
    if (exists && !options.replace_without_asking)
        return keep(report, KeptBecause::destination_exists);
    write(session, report, destination, ReplaceRules{exists, Links::refuse, std::nullopt});
}

// True for another name of a file the batch already worked on, as the name
// leads to it now.
bool seen_before(const Session& session, const std::optional<FileIdentity>& identity) {
    return session.options.batch() && identity && session.done.count(*identity) != 0;
}

// What the steps up to the read found out.
struct Reading {
    bool passed_over = false;             // another name for a file already worked on
    std::optional<FileIdentity> identity; // of the file, where it could be had
    bool replace_agreed = false;          // a single run's destination may be replaced
};

// A name that could not be searched, or is of no kind mog reads.
Reading refuse(Session& session, const FileTask& task, FileReport& report) {
    Reading reading;
    reading.identity = session.files.identity(task.place);
    reading.passed_over = seen_before(session, reading.identity);
    if (reading.passed_over)
        return reading;
    if (task.search_error != 0) {
        fail(report, failure_without_usage(STATUS_FILE_ERROR, Prefix::error, TEXT_CANNOT_SEARCH, report.file.c_str(),
                                           std::strerror(task.search_error)));
    } else {
        report.verdict = judge_unknown_kind();
        fail(report, failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::none, "%s", report.verdict.why.c_str()));
    }
    return reading;
}

// The steps up to the read, and the question of a single run before it.
Reading read(Session& session, const FileTask& task, SingleRun* single, FileReport& report) {
    if (task.search_error != 0 || !report.container)
        return refuse(session, task, report);
    Reading reading;
    bool asked_and_refused = false;
    // The question comes once the source is known to be there; a file
    // another name of the batch led to is not read again.
    auto opened = [&]() {
        if (single == nullptr || !single->target.destination)
            return true;
        OverwriteGuard guard = guard_overwrite(session.options, session.files, Place{nullptr, *single->target.destination});
        if (guard.failure.failed()) {
            fail(report, guard.failure);
            asked_and_refused = true;
            return false;
        }
        reading.replace_agreed = guard.replace_agreed;
        single->answers.typed_ahead = guard.typed_ahead;
        return true;
    };
    // What a folder search found is read only as what it was found to be,
    // never through a link put in its place since.
    const SourceRead source = session.files.read(task.place, task.found_in_folder ? Links::refuse : Links::follow,
                                                 MAX_FILE_SIZE, session.buffer, opened);
    if (source.identity_known)
        reading.identity = source.stamp.identity;
    reading.passed_over = seen_before(session, reading.identity);
    if (reading.passed_over || asked_and_refused)
        return reading;
    if (source.error) {
        report.verdict = judge(*source.error);
        fail(report, file_failure(*source.error));
    }
    return reading;
}

// True when a folder search found a file that only looks like a P00: real
// collections hold .p64 files, which are flux-level disk images.
bool other_kind_found(const FileTask& task, const ProgramWalk& walk) {
    if (!task.found_in_folder)
        return false;
    for (const Notice& notice : walk.notices())
        if (notice.kind == NoticeKind::not_p00)
            return true;
    return false;
}

// Walks the file and passes over its programs, judges them and writes what
// is to be written. Gives false when the file is passed over.
bool pass_and_write(Session& session, const FileTask& task, SingleRun* single, FileReport& report,
                    bool replace_agreed) {
    const Options& options = session.options;
    report.bytes = session.buffer;
    ProgramWalk walk = start_program_walk(*report.container, session.buffer);
    if (other_kind_found(task, walk))
        return false;
    report.result.notices = walk.notices();
    session.reporter.file_begins(options, report);
    if (options.mode == Mode::interactive)
        ask(TEXT_ENTER_LINE_NUMBERS);
    report.result = run_pass(walk, request_for(options, single));
    report.walked = true;
    report.verdict = judge(*report.container, report.result, job_rules(options));
    report.outcome = report.verdict.outcome;
    report.failure = failure_of(report);
    if (report.outcome == Outcome::failed || options.mode == Mode::view || options.mode == Mode::check)
        return true;
    if (single == nullptr)
        write_batch_file(session, task, report);
    else if (report.verdict.fault == Fault::none)
        write(session, report, Place{nullptr, *single->target.destination},
              ReplaceRules{replace_agreed, Links::follow, std::nullopt});
    return true;
}

} // namespace

JobRules job_rules(const Options& options) {
    JobRules rules;
    rules.job = options.mode == Mode::view ? Job::list : options.mode == Mode::check ? Job::check : Job::stamp;
    rules.line_number = options.line_number;
    rules.batch = options.batch() || options.textconv;
    rules.start_line_optional = options.start_line_optional;
    return rules;
}

std::optional<FileReport> process_file(Session& session, const FileTask& task, SingleRun* single) {
    FileReport report;
    report.file = task.name();
    report.container =
        single != nullptr ? std::optional<Container>(single->target.container) : container_for_name(task.place.name);
    const Reading reading = read(session, task, single, report);
    if (reading.passed_over)
        return std::nullopt;
    if (report.outcome != Outcome::failed && !pass_and_write(session, task, single, report, reading.replace_agreed))
        return std::nullopt;
    // A file replaced in place has a new identity, which its name now leads to.
    if (reading.identity && !(session.options.scope == Scope::in_place && report.written))
        session.done.insert(*reading.identity);
    session.reporter.file_ends(session.options, report);
    if (report.outcome == Outcome::failed || (single != nullptr && report.failure.failed()))
        session.reporter.failure(session.options, &report, report.failure);
    // The file's lines are whole in the log before the next file is begun.
    flush_output();
    return report;
}

} // namespace mog
