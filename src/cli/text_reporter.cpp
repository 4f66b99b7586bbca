// The text a user reads: a single run's listing and messages, and a batch's
// line per file.
#include "cli/commodore_text.h"
#include "cli/console.h"
#include "cli/reporter.h"
#include "cli/texts.h"

namespace mog {

namespace {

std::string name_of(const ProgramRecord& program, const Options& options) {
    return commodore_text(stdout, program.name_field(), options.style);
}

std::string text_of(const FileReport& report, const ProgramRecord& program, const Options& options) {
    return commodore_text(stdout, report.bytes.subspan(program.text_offset, program.text_size), options.style);
}

std::string file_name(const FileReport& report) {
    return shown_name(stdout, report.file);
}

// A notice as a warning line; a warning about the whole file stands apart
// from the listing below it.
void print_notice(const Notice& notice, const Container& container) {
    const std::string words = describe(notice, container);
    if (words.empty())
        return;
    say(TEXT_WARNING, words.c_str());
    if (notice.kind != NoticeKind::directory_broken)
        say("\n");
}

// The notices about the whole file, or those about its directory.
void print_notices(const FileReport& report, bool about_file) {
    for (const Notice& notice : report.result.notices)
        if (about_the_file(notice) == about_file)
            print_notice(notice, *report.container);
}

// A start line as the listing shows it; a line whose number is data says so.
void print_start_line(const Options& options, const FileReport& report, const ProgramRecord& program) {
    const char* kept = program.archive == Archive::sda ? TEXT_ARCHIVE_KEPT : "";
    if (has_directory(*report.container))
        say("%s [%i SYS%s]%s\n", name_of(program, options).c_str(), static_cast<int>(program.line),
            text_of(report, program, options).c_str(), kept);
    else
        say("%d SYS%s%s\n", static_cast<int>(program.line), text_of(report, program, options).c_str(), kept);
}

// What the pass did, program by program: the listing in view mode, the
// changed programs' names in a rewrite. The questions of an interactive run
// were the dialogue; but any run names the lines it kept as data.
void print_programs(const Options& options, const FileReport& report) {
    for (const ProgramRecord& program : report.result.programs) {
        if (options.mode == Mode::view && program.start_line)
            print_start_line(options, report, program);
        else if (options.mode == Mode::view && has_directory(*report.container))
            say("%s \n", name_of(program, options).c_str());
        else if (program.archive == Archive::sda)
            print_start_line(options, report, program);
        else if (program.written && has_directory(*report.container) && options.mode == Mode::rewrite)
            say(TEXT_CHANGED_FILE, name_of(program, options).c_str());
    }
}

// What a check found in the file: its warnings, each start line that does
// not carry the number, and whether it holds no start line at all.
void print_check(const Options& options, const FileReport& report) {
    const std::string file = file_name(report);
    for (const Notice& notice : report.result.notices)
        if (std::string words = describe(notice, *report.container); !words.empty())
            say("%s: WARNING: %s\n", file.c_str(), words.c_str());
    if (!report.result.any_start_line()) {
        say("%s: no start line.\n", file.c_str());
        return;
    }
    for (const ProgramRecord& program : report.result.programs) {
        if (!lacks_number(program, options.line_number))
            continue;
        if (program.named)
            say("%s: '%s' has line %u, not %u.\n", file.c_str(), name_of(program, options).c_str(), program.line,
                options.line_number);
        else
            say("%s: has line %u, not %u.\n", file.c_str(), program.line, options.line_number);
    }
}

void announce_year(const Options& options) {
    if (!options.line_number_given && !options.quiet)
        say(TEXT_CURRENT_YEAR, static_cast<int>(options.line_number));
}

void run_begins(const Options& options, const SingleTarget* target) {
    if (target == nullptr) {
        announce_year(options);
        return;
    }
    if (target->destination_derived && !options.quiet)
        say(TEXT_DESTINATION_SET, shown_name(stdout, *target->destination).c_str());
}

void file_begins(const Options& options, const FileReport& report) {
    if (options.batch())
        return;
    announce_year(options);
    if (options.mode != Mode::check)
        print_notices(report, true);
}

// A single run: the listing, the warnings found on the way, and the end.
void single_file_ends(const Options& options, const FileReport& report) {
    if (!report.walked)
        return;
    if (options.mode == Mode::check) {
        print_check(options, report);
        return;
    }
    if (report.result.failure != PassFailure::none)
        return;
    print_programs(options, report);
    print_notices(report, false);
    if (!report.failure.failed() && options.mode != Mode::check && !options.quiet)
        say_text(TEXT_DONE);
}

std::string programs_changed(std::size_t count) {
    return formatted("%llu program%s changed", static_cast<unsigned long long>(count), count == 1 ? "" : "s");
}

// A batch: the file's warnings, its listing in view mode, the start lines
// without the number in a check, and the line that says what became of it.
void batch_file_ends(const Options& options, const FileReport& report) {
    if (report.outcome == Outcome::failed)
        return;
    const std::string name = file_name(report);
    if (options.mode == Mode::check) {
        print_check(options, report);
        return;
    }
    if (options.mode == Mode::view && !report.no_start_line.empty()) {
        say("%s: no start line (%s)\n", name.c_str(), report.no_start_line.c_str());
        return;
    }
    if (options.mode == Mode::view) {
        // As one run lists the file.
        say("%s:\n", name.c_str());
        print_notices(report, true);
        print_programs(options, report);
        print_notices(report, false);
        return;
    }
    for (const Notice& notice : report.result.notices)
        if (std::string words = describe(notice, *report.container); !words.empty())
            say("%s: WARNING: %s\n", name.c_str(), words.c_str());
    switch (report.outcome) {
    case Outcome::changed:
        if (options.scope == Scope::in_place)
            say("%s: %s.\n", name.c_str(), programs_changed(report.result.changed()).c_str());
        else
            say("%s: %s, written to %s.\n", name.c_str(), programs_changed(report.result.changed()).c_str(),
                shown_name(stdout, report.destination).c_str());
        break;
    case Outcome::unchanged:
        if (options.quiet)
            break;
        if (report.no_start_line.empty())
            say("%s: nothing changed.\n", name.c_str());
        else
            say("%s: nothing changed (%s)\n", name.c_str(), report.no_start_line.c_str());
        break;
    case Outcome::kept:
        say(report.destination_is_link ? "%s: kept, %s is a link.\n" : "%s: kept, %s exists.\n", name.c_str(),
            shown_name(stdout, report.destination).c_str());
        break;
    case Outcome::failed:
        break;
    }
}

void file_ends(const Options& options, const FileReport& report) {
    if (options.batch())
        batch_file_ends(options, report);
    else
        single_file_ends(options, report);
}

void failure(const Options& options, const FileReport* report, const Failure& failure) {
    print_failure_of(options.batch(), report != nullptr ? &report->file : nullptr, failure, true);
}

void summary(const Options&, const BatchCounts& counts, bool interrupted) {
    say("%d files: %d changed, %d unchanged, %d kept, %d failed.%s\n", counts.files, counts.changed, counts.unchanged,
        counts.kept, counts.failed, interrupted ? " (interrupted)" : "");
}

} // namespace

const Reporter TEXT_REPORTER = {run_begins, file_begins, file_ends, failure, summary};

} // namespace mog
