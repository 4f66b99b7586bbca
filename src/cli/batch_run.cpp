#include "cli/batch_run.h"

#include <cstring>
#include <set>
#include <vector>

#include "cli/batch_sources.h"
#include "cli/file_steps.h"
#include "cli/json_report.h"
#include "cli/progress.h"
#include "cli/text_report.h"
#include "image/container.h"
#include "platform/file_access.h"
#include "platform/folder.h"
#include "platform/local_year.h"

namespace mog {

namespace {

enum class Outcome { changed, unchanged, kept, failed };

struct FileRun {
    FileReport report;
    Outcome outcome = Outcome::unchanged;
    std::string destination;   // where a change goes
    std::string unchanged_why; // a one-program file without its start line
    bool lacks_number = false; // a check found a start line without the number
};

// A one-program file without its start line is left alone, not failed.
bool start_line_missing(PassFailure failure) {
    return failure == PassFailure::no_sys_token || failure == PassFailure::unexpected_load_address;
}

void fail(FileRun& run, const Failure& failure) {
    run.report.failure = failure;
    run.outcome = Outcome::failed;
}

// What a batch has seen of the files it worked on.
struct BatchMemory {
    std::set<FileIdentity> done;    // files worked on, as their names lead to them afterwards
    std::set<FileIdentity> written; // destinations this batch wrote
};

// Reads, passes over and, when a line number changes, writes one file.
void work_on(const RunOptions& options, const BatchSource& source, SourceBytes& bytes, BatchMemory& memory,
             FileRun& run) {
    FileReport& report = run.report;
    report.file = source.name;
    const char* name = source.name.c_str();
    if (source.search_error != 0)
        return fail(run,
                    failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot search '%s': %s.",
                                          shown_name(stderr, name).c_str(), file_error_reason(source.search_error)));
    if (!container_for_name(name, report.container))
        return fail(run, failure_with_usage(STATUS_BAD_COMMAND_LINE, "Unknown extension of source file."));
    if (!source_present(name))
        return fail(run, source_missing(name));
    if (Failure failure = read_source(name, bytes); failure.failed())
        return fail(run, failure);
    report.size = bytes.size();
    report.bytes = bytes.data();

    ProgramWalk walk = start_program_walk(report.container, bytes.data(), bytes.size());
    report.notices_at_start = walk.notices.size();
    report.result = run_pass(walk, pass_request(options));
    if (report.result.failure == PassFailure::not_p00 || report.result.failure == PassFailure::unusable_bytes)
        return fail(run, pass_failure(report.result));
    // A one-program file without its start line is left alone; on its own
    // it would end with its message and status.
    if (start_line_missing(report.result.failure)) {
        report.failure = pass_failure(report.result);
        run.unchanged_why = message_without_prefix(report.failure.message);
    }
    run.lacks_number = any_lacks_number(report.result, static_cast<unsigned>(options.line_number));
    if (options.check && run.lacks_number)
        report.failure = Failure{STATUS_CHECK_FAILED, "", false};
    if (options.view || options.check || report.result.changed() == 0)
        return;

    // Only what changes is written: a second identical run writes nothing.
    run.destination = options.in_place ? source.name : default_destination(name);
    const bool exists = path_kind(run.destination.c_str()) != PathKind::absent;
    // Two sources, such as game.d64 and game.D64, may have one default
    // destination: the second must not replace the first one's result.
    FileIdentity destination;
    if (!options.in_place && exists && file_identity(run.destination.c_str(), destination) &&
        memory.written.count(destination) != 0)
        return fail(run,
                    failure_without_usage(STATUS_FILE_ERROR,
                                          "ERROR: Cannot write file '%s': Another file of the batch was written there.",
                                          shown_name(stderr, run.destination.c_str()).c_str()));
    if (!options.in_place && exists && !options.replace_without_asking) {
        run.outcome = Outcome::kept;
        report.failure = Failure{STATUS_OVERWRITE_REFUSED, "", false};
        return;
    }
    // In place the file itself is replaced, as is an existing destination
    // with -y; a new destination never replaces what appeared meanwhile.
    if (Failure failure = write_destination(run.destination, bytes, options.in_place || exists); failure.failed())
        return fail(run, failure);
    report.written = run.destination;
    run.outcome = Outcome::changed;
    if (file_identity(run.destination.c_str(), destination))
        memory.written.insert(destination);
}

std::string programs_changed(std::size_t count) {
    return formatted("%llu program%s changed", static_cast<unsigned long long>(count), count == 1 ? "" : "s");
}

// The text a batch prints for one file: its warnings, its listing in view
// mode, the start lines without the number in a check, and the line that
// says what became of it.
void print_file(const RunOptions& options, const FileRun& run) {
    const FileReport& report = run.report;
    const std::string name = shown_name(stdout, report.file.c_str());
    if (run.outcome == Outcome::failed) {
        say_error("%s: ERROR: %s\n", shown_name(stderr, report.file.c_str()).c_str(),
                  message_without_prefix(report.failure.message).c_str());
        return;
    }
    if ((options.view || options.check) && !run.unchanged_why.empty()) {
        say("%s: no start line (%s)\n", name.c_str(), run.unchanged_why.c_str());
        return;
    }
    if (options.view) {
        // As one run lists the file.
        say("%s:\n", name.c_str());
        RunOptions file_options = options;
        file_options.container = report.container;
        const std::vector<Notice>& notices = report.result.notices;
        print_notices(notices, 0, report.notices_at_start, report.container);
        print_programs(file_options, report.result, report.bytes);
        print_notices(notices, report.notices_at_start, notices.size(), report.container);
        return;
    }
    for (const Notice& notice : report.result.notices)
        if (std::string words = notice_words(notice, report.container); !words.empty())
            say("%s: WARNING: %s\n", name.c_str(), words.c_str());
    if (options.check) {
        print_check(report.file, report.result, options);
        return;
    }
    switch (run.outcome) {
    case Outcome::changed:
        if (options.in_place)
            say("%s: %s.\n", name.c_str(), programs_changed(report.result.changed()).c_str());
        else
            say("%s: %s, written to %s.\n", name.c_str(), programs_changed(report.result.changed()).c_str(),
                shown_name(stdout, run.destination.c_str()).c_str());
        break;
    case Outcome::unchanged:
        if (run.unchanged_why.empty())
            say("%s: nothing changed.\n", name.c_str());
        else
            say("%s: nothing changed (%s)\n", name.c_str(), run.unchanged_why.c_str());
        break;
    case Outcome::kept:
        say("%s: kept, %s exists.\n", name.c_str(), shown_name(stdout, run.destination.c_str()).c_str());
        break;
    case Outcome::failed:
        break;
    }
}

void count(BatchCounts& counts, Outcome outcome) {
    ++counts.files;
    switch (outcome) {
    case Outcome::changed:
        ++counts.changed;
        break;
    case Outcome::unchanged:
        ++counts.unchanged;
        break;
    case Outcome::kept:
        ++counts.kept;
        break;
    case Outcome::failed:
        ++counts.failed;
        break;
    }
}

} // namespace

int run_batch(RunOptions& options) {
    if (!options.line_number_given) {
        options.line_number = local_year();
        say("Current year: %i\n", static_cast<int>(options.line_number));
    }
    const std::vector<BatchSource> sources = batch_sources(options.names);
    Progress progress = start_progress();
    BatchCounts counts;
    bool lacks_number = false;
    SourceBytes bytes; // one buffer for every file
    BatchMemory memory;
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const char* name = sources[k].name.c_str();
        // Another name for a file already worked on, as it stands now.
        FileIdentity identity;
        if (file_identity(name, identity) && memory.done.count(identity) != 0)
            continue;
        show_progress(progress, k, sources.size(), sources[k].name);
        FileRun run;
        work_on(options, sources[k], bytes, memory, run);
        if (file_identity(name, identity))
            memory.done.insert(identity);
        // The line stays on while the output goes elsewhere.
        if (stream_display(stdout) != Display::bytes || run.outcome == Outcome::failed)
            clear_progress(progress);
        if (options.json)
            write_file_records(run.report, options);
        print_file(options, run);
        count(counts, run.outcome);
        lacks_number = lacks_number || run.lacks_number;
    }
    clear_progress(progress);
    if (options.json)
        write_output_line(summary_record(counts));
    say("%d files: %d changed, %d unchanged, %d kept, %d failed.\n", counts.files, counts.changed, counts.unchanged,
        counts.kept, counts.failed);
    if (counts.failed > 0)
        return STATUS_FILE_ERROR;
    if (counts.kept > 0)
        return STATUS_OVERWRITE_REFUSED;
    return options.check && lacks_number ? STATUS_CHECK_FAILED : STATUS_SUCCESS;
}

} // namespace mog
