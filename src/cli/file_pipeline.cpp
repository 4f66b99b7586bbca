#include "cli/file_pipeline.h"

#include <cstring>

#include "cli/console.h"
#include "cli/destination_names.h"
#include "cli/overwrite_guard.h"
#include "cli/texts.h"
#include "platform/whole_file.h"

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

// A one-program file without its start line fails a single run; a batch
// leaves it alone, unless it holds no program at all. A check finds no start
// line in it, whatever kept it from having one.
void settle_pass_failure(const Options& options, FileReport& report) {
    const PassFailure failure = report.result.failure;
    if (failure == PassFailure::none)
        return;
    const Failure said = pass_failure(report.result);
    const bool start_line_missing =
        failure == PassFailure::no_sys_token || failure == PassFailure::unexpected_load_address;
    if (options.mode == Mode::check && (start_line_missing || failure == PassFailure::not_p00)) {
        report.failure = silent_failure(STATUS_CHECK_FAILED);
        report.no_start_line = said.message;
        report.check_failed = true;
        return;
    }
    if (!options.batch() || !start_line_missing)
        return fail(report, said);
    report.failure = said;
    report.no_start_line = said.message;
}

// A warning the check does not pass over: an image whose size is one of its
// format's whole layouts is read as it is, any other warning tells that the
// file may hold more than could be checked.
bool fails_check(const Notice& notice, const FileReport& report) {
    if (describe(notice, *report.container).empty())
        return false;
    return notice.kind != NoticeKind::size_differs || !known_layout(*report.container, notice.size);
}

// Decides whether a check fails the file: a start line without the number,
// no start line at all, or a warning.
void check(const Options& options, FileReport& report) {
    for (const ProgramRecord& program : report.result.programs)
        report.lacks_number = report.lacks_number || lacks_number(program, options.line_number);
    if (options.mode != Mode::check)
        return;
    for (const Notice& notice : report.result.notices)
        report.check_failed = report.check_failed || fails_check(notice, report);
    report.check_failed = report.check_failed || report.lacks_number || !report.result.any_start_line();
    // A script reading the record learns why the file failed without a line.
    if (!report.result.any_start_line())
        report.no_start_line = TEXT_NO_START_LINE;
    if (report.check_failed)
        report.failure = silent_failure(STATUS_CHECK_FAILED);
}

// Writes the bytes as agreed, and notes what was written.
void write(Session& session, FileReport& report, const std::string& destination, bool replace, Links links) {
    report.destination = destination;
    std::optional<HeldInterruptions> held;
    if (session.interruptions == Interruptions::hold)
        held.emplace();
    const Replaced replaced = replace_file_bytes(destination.c_str(), session.buffer, replace, links);
    if (replaced.error != 0)
        return fail(report, file_failure(FileError{FileStep::write, replaced.error, destination}));
    report.written = destination;
    report.outcome = Outcome::changed;
    session.written.insert(replaced.identity);
    if (session.options.scope == Scope::in_place)
        session.done.insert(replaced.identity);
}

// In a batch only what changes is written: a second identical run writes
// nothing. In place the file itself is replaced, written through a link only
// where the link was named; a derived destination is replaced only with -y,
// and never one that appeared meanwhile, and never through a link.
void write_batch_file(Session& session, const FileTask& task, FileReport& report) {
    const Options& options = session.options;
    if (options.mode == Mode::view || options.mode == Mode::check || report.result.changed() == 0)
        return;
    if (options.scope == Scope::in_place)
        return write(session, report, report.file, true, task.found_in_folder ? Links::refuse : Links::follow);
    const std::string destination = default_destination(report.file);
    report.destination = destination;
    const NameUse use = name_use(destination.c_str());
    // A link there leads who knows where: it is not written through.
    if (use == NameUse::link) {
        report.outcome = Outcome::kept;
        report.destination_is_link = true;
        report.failure = silent_failure(STATUS_OVERWRITE_REFUSED);
        return;
    }
    const bool exists = use == NameUse::taken;
    // Two sources, such as game.d64 and game.D64, may have one default
    // destination: the second must not replace the first one's result.
    if (exists) {
        std::optional<FileIdentity> identity = file_identity(destination.c_str());
        if (identity && session.written.count(*identity) != 0)
            return fail(report, failure_without_usage(STATUS_FILE_ERROR, Prefix::error, TEXT_OTHER_FILE_WRITTEN_THERE,
                                                      destination.c_str()));
    }
    if (exists && !options.replace_without_asking) {
        report.outcome = Outcome::kept;
        report.failure = silent_failure(STATUS_OVERWRITE_REFUSED);
        return;
    }
    write(session, report, destination, exists, Links::refuse);
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

// The steps up to the read, and the question of a single run before it.
Reading read(Session& session, const FileTask& task, SingleRun* single, FileReport& report) {
    Reading reading;
    if (task.search_error != 0 || !report.container) {
        reading.identity = file_identity(task.name.c_str());
        reading.passed_over = seen_before(session, reading.identity);
        if (reading.passed_over)
            return reading;
        if (task.search_error != 0)
            fail(report, failure_without_usage(STATUS_FILE_ERROR, Prefix::error, TEXT_CANNOT_SEARCH, task.name.c_str(),
                                               std::strerror(task.search_error)));
        else
            fail(report,
                 failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::none, "%s", describe_unknown_kind().c_str()));
        return reading;
    }
    // What a folder search found is read only as what it was found to be,
    // never through a link put in its place since.
    OpenedSource source(task.name, task.found_in_folder ? Links::refuse : Links::follow);
    if (!source.error())
        reading.identity = source.identity();
    reading.passed_over = seen_before(session, reading.identity);
    if (reading.passed_over)
        return reading;
    if (source.error() && source.error()->step == FileStep::find) {
        fail(report, file_failure(*source.error()));
        return reading;
    }
    if (single != nullptr && single->target.destination) {
        OverwriteGuard guard = guard_overwrite(session.options, *single->target.destination);
        if (guard.failure.failed()) {
            fail(report, guard.failure);
            return reading;
        }
        reading.replace_agreed = guard.replace_agreed;
        single->answers.typed_ahead = guard.typed_ahead;
    }
    if (std::optional<FileError> error = source.read(MAX_FILE_SIZE, session.buffer))
        fail(report, file_failure(*error));
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

// Walks the file and passes over its programs, checks them and writes what
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
    settle_pass_failure(options, report);
    if (report.outcome == Outcome::failed || !report.no_start_line.empty() || report.check_failed)
        return true;
    check(options, report);
    if (single == nullptr)
        write_batch_file(session, task, report);
    else if (options.changes_files())
        write(session, report, *single->target.destination, replace_agreed, Links::follow);
    return true;
}

} // namespace

std::optional<FileReport> process_file(Session& session, const FileTask& task, SingleRun* single) {
    FileReport report;
    report.file = task.name;
    report.container =
        single != nullptr ? std::optional<Container>(single->target.container) : container_for_name(task.name);
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
