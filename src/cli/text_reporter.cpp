// The text a user reads: a single run's listing and messages, and a batch's
// line per file. A file's lines are built in one text and written at once.
#include <algorithm>
#include <charconv>

#include "cli/commodore_text.h"
#include "cli/console.h"
#include "cli/reporter.h"
#include "cli/texts.h"

namespace mog {

namespace {

std::string name_of(const ProgramRecord& program, const Options& options) {
    return commodore_text(stdout, program.name_field(), options.style);
}

void add_name(std::string& lines, const ProgramRecord& program, const Options& options) {
    append_commodore_text(lines, stdout, program.name_field(), options.style);
}

void add_number(std::string& lines, unsigned number) {
    char digits[16];
    lines.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

// After an entry that leads to an earlier entry's start line: which one.
std::string shared_mark(const Options& options, const FileReport& report, const ProgramRecord& program) {
    if (!program.shares_with)
        return "";
    const ProgramRecord& first = report.result.programs[*program.shares_with];
    const std::string name = commodore_text(stdout, first.unpadded_name(), options.style);
    return formatted(TEXT_SAME_START_LINE, name.c_str());
}

std::string file_name(const FileReport& report) {
    return shown_name(stdout, report.file);
}

// A notice as a warning line; a warning about the whole file stands apart
// from the listing below it.
void add_notice(std::string& lines, const Notice& notice, const Container& container) {
    const std::string words = describe(notice, container);
    if (words.empty())
        return;
    lines += formatted(TEXT_WARNING, words.c_str());
    if (notice.kind != NoticeKind::directory_broken)
        lines += '\n';
}

// The notices about the whole file, or those about its directory.
void add_notices(std::string& lines, const FileReport& report, bool about_file) {
    for (const Notice& notice : report.result.notices)
        if (about_the_file(notice) == about_file)
            add_notice(lines, notice, *report.container);
}

// A start line as the listing shows it, "NAME [LINE SYSTEXT]" in a
// directory and "LINE SYSTEXT" alone; a line whose number is data says so.
void add_start_line(std::string& lines, const Options& options, const FileReport& report,
                    const ProgramRecord& program) {
    const bool directory = has_directory(*report.container);
    if (directory)
        add_name(lines, program, options);
    // " [LINE SYS", or "LINE SYS" without a directory, in one piece.
    char piece[24] = " [";
    char* end = std::to_chars(piece + 2, piece + 16, program.line).ptr;
    end = std::copy_n(" SYS", 4, end);
    const char* start = directory ? piece : piece + 2;
    lines.append(start, static_cast<std::size_t>(end - start));
    append_commodore_text(lines, stdout, report.bytes.subspan(program.text_offset, program.text_size),
                          options.style);
    if (directory)
        lines += ']';
    if (program.archive == Archive::sda)
        lines += TEXT_ARCHIVE_KEPT;
    if (directory && program.shares_with)
        lines += shared_mark(options, report, program);
    lines += '\n';
}

// A changed program's line; one that leads to an earlier entry's start line
// says so.
void add_changed(std::string& lines, const Options& options, const FileReport& report,
                 const ProgramRecord& program) {
    const std::string mark = shared_mark(options, report, program);
    if (mark.empty())
        lines += formatted(TEXT_CHANGED_FILE, name_of(program, options).c_str());
    else
        lines += formatted("Changed file '%s'.%s\n", name_of(program, options).c_str(), mark.c_str());
}

// What the pass did, program by program: the listing in view mode, the
// changed programs' names in a rewrite. The questions of an interactive run
// were the dialogue; but any run names the lines it kept as data.
void add_programs(std::string& lines, const Options& options, const FileReport& report) {
    for (const ProgramRecord& program : report.result.programs) {
        if (options.mode == Mode::view && program.start_line) {
            add_start_line(lines, options, report, program);
        } else if (options.mode == Mode::view && has_directory(*report.container)) {
            add_name(lines, program, options);
            lines += " \n";
        } else if (program.archive == Archive::sda) {
            add_start_line(lines, options, report, program);
        } else if (program.written && has_directory(*report.container) && options.mode == Mode::rewrite) {
            add_changed(lines, options, report, program);
        }
    }
}

// What a check found in the file: its warnings, each start line that does
// not carry the number, and whether it holds no start line at all.
void add_check(std::string& lines, const Options& options, const FileReport& report) {
    const std::string file = file_name(report);
    for (const std::string& words : report.verdict.warnings)
        lines += formatted("%s: WARNING: %s\n", file.c_str(), words.c_str());
    if (report.verdict.no_start_line) {
        if (report.verdict.check_failed)
            lines += formatted("%s: no start line.\n", file.c_str());
        return;
    }
    // "FILE: 'NAME' has line LINE, not NUMBER." and for a program without a name "FILE: has line ..."
    for (std::size_t k : report.verdict.lacking) {
        const ProgramRecord& program = report.result.programs[k];
        lines += file;
        lines += ": ";
        if (program.named) {
            lines += '\'';
            add_name(lines, program, options);
            lines += "' ";
        }
        lines += "has line ";
        add_number(lines, program.line);
        lines += ", not ";
        add_number(lines, options.line_number);
        lines += '.';
        if (program.named)
            lines += shared_mark(options, report, program);
        lines += '\n';
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

// A member of an archive in a single run: its name heads what is said of it.
void print_member_heading(const FileReport& report) {
    say("%s:\n", file_name(report).c_str());
}

void file_begins(const Options& options, const FileReport& report) {
    if (options.batch())
        return;
    if (report.piece == 0)
        announce_year(options);
    // A member's questions come under its name; its other lines at its end.
    if (report.member && options.mode == Mode::interactive)
        print_member_heading(report);
    std::string lines;
    if (options.mode != Mode::check && !report.member)
        add_notices(lines, report, true);
    if (!lines.empty())
        say_text(lines);
}

// A single run: the listing, the warnings found on the way, and the end.
void single_file_ends(std::string& lines, const Options& options, const FileReport& report) {
    if (!report.walked)
        return;
    // git's diff shows a program it cannot list as what keeps it from being listed.
    if (options.textconv && report.verdict.no_start_line) {
        lines += formatted("no start line (%s)\n", report.verdict.why.c_str());
        return;
    }
    if (options.mode == Mode::check) {
        add_check(lines, options, report);
        return;
    }
    if (report.result.failure != PassFailure::none)
        return;
    if (report.member && options.mode != Mode::interactive)
        lines += file_name(report) + ":\n";
    if (report.member)
        add_notices(lines, report, true);
    add_programs(lines, options, report);
    add_notices(lines, report, false);
    if (!report.failure.failed() && report.piece + 1 == report.pieces && !options.quiet)
        lines += TEXT_DONE;
}

const char* kept_line(KeptBecause because) {
    switch (because) {
    case KeptBecause::destination_is_link:
        return "%s: kept, %s is a link.\n";
    case KeptBecause::destination_is_source:
        return "%s: kept, %s is also a source.\n";
    case KeptBecause::file_changed:
        return "%s: kept, it changed while being read.\n";
    case KeptBecause::file_being_written:
        return "%s: kept, it is being written by another program.\n";
    case KeptBecause::destination_exists:
        break;
    }
    return "%s: kept, %s exists.\n";
}

std::string programs_changed(std::size_t count) {
    return formatted("%llu program%s changed", static_cast<unsigned long long>(count), count == 1 ? "" : "s");
}

// A batch: the file's warnings, its listing in view mode, the start lines
// without the number in a check, and the line that says what became of it.
void batch_file_ends(std::string& lines, const Options& options, const FileReport& report) {
    const bool kept_as_it_is =
        report.kept_because == KeptBecause::file_changed || report.kept_because == KeptBecause::file_being_written;
    if (report.outcome == Outcome::failed && !kept_as_it_is)
        return;
    const std::string name = file_name(report);
    if (options.mode == Mode::check) {
        add_check(lines, options, report);
        return;
    }
    if (options.mode == Mode::view && report.verdict.no_start_line) {
        lines += formatted("%s: no start line (%s)\n", name.c_str(), report.verdict.why.c_str());
        return;
    }
    if (options.mode == Mode::view) {
        // As one run lists the file.
        lines += name;
        lines += ":\n";
        add_notices(lines, report, true);
        add_programs(lines, options, report);
        add_notices(lines, report, false);
        return;
    }
    for (const std::string& words : report.verdict.warnings)
        lines += formatted("%s: WARNING: %s\n", name.c_str(), words.c_str());
    switch (report.outcome) {
    case Outcome::changed:
        if (options.scope == Scope::in_place)
            lines += formatted("%s: %s.\n", name.c_str(), programs_changed(report.result.changed()).c_str());
        else
            lines += formatted("%s: %s, written to %s.\n", name.c_str(),
                               programs_changed(report.result.changed()).c_str(),
                               shown_name(stdout, report.destination).c_str());
        break;
    case Outcome::unchanged:
        if (options.quiet)
            break;
        if (!report.verdict.no_start_line)
            lines += formatted("%s: nothing changed.\n", name.c_str());
        else
            lines += formatted("%s: nothing changed (%s)\n", name.c_str(), report.verdict.why.c_str());
        break;
    case Outcome::kept:
        lines += formatted(kept_line(report.kept_because), name.c_str(), shown_name(stdout, report.destination).c_str());
        break;
    case Outcome::failed:
        // A file another program changed or is writing is kept, and fails
        // the batch so that it runs again.
        if (kept_as_it_is)
            lines += formatted(kept_line(report.kept_because), name.c_str());
        break;
    }
}

void file_ends(const Options& options, const FileReport& report) {
    std::string lines;
    lines.reserve(4096); // a dense disk's listing
    if (options.batch())
        batch_file_ends(lines, options, report);
    else
        single_file_ends(lines, options, report);
    if (!lines.empty())
        say_text(lines);
}

void failure(const Options& options, const FileReport* report, const Failure& failure) {
    // git's diff takes what the tool says of a file from standard output, in one line.
    if (options.textconv && (report == nullptr || !report->verdict.no_start_line) && !failure.message.empty())
        say_text(shown_name(stdout, failure.text()) + "\n");
    else if (options.textconv)
        return;
    else
        print_failure_of(options.batch(), report != nullptr ? &report->file : nullptr, failure, true);
}

// A check's summary tells what failed it; a check of no file fails too.
void check_summary(const BatchCounts& counts, const char* interrupted) {
    if (counts.files == 0) {
        say("0 files: nothing to check.%s\n", interrupted);
        return;
    }
    const std::string failed = counts.failed > 0 ? formatted(", %d failed", counts.failed) : "";
    say("%d file%s: %d lacking, %d without a start line, %d damaged%s.%s\n", counts.files,
        counts.files == 1 ? "" : "s", counts.lacking, counts.without_start_line, counts.damaged, failed.c_str(),
        interrupted);
}

void summary(const Options& options, const BatchCounts& counts, bool interrupted) {
    const char* mark = interrupted ? " (interrupted)" : "";
    if (options.mode == Mode::check)
        return check_summary(counts, mark);
    say("%d files: %d changed, %d unchanged, %d kept, %d failed.%s\n", counts.files, counts.changed, counts.unchanged,
        counts.kept, counts.failed, mark);
}

} // namespace

const Reporter TEXT_REPORTER = {run_begins, file_begins, file_ends, failure, summary};

} // namespace mog
