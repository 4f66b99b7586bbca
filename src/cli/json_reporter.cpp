// JSON Lines for scripts: one object per program, one per file, and a
// summary after a batch. Standard output holds nothing else.
#include "cli/console.h"
#include "cli/reporter.h"
#include "mog/records.h"

namespace mog {

namespace {

void run_begins(const Options&, const SingleTarget*) {}

void file_begins(const Options&, const FileReport&) {}

// Every program (with --check only those that lack the number), then the
// file.
void file_ends(const Options& options, const FileReport& report) {
    std::string lines;
    lines.reserve(512 * (report.result.programs.size() + 1)); // a record takes some 400 bytes
    const bool written = report.written.has_value();
    const RecordName name{report.file,
                          report.member ? std::optional<std::string_view>(*report.member) : std::nullopt};
    for (const ProgramRecord& program : report.result.programs)
        if (options.mode != Mode::check || lacks_number(program, options.line_number)) {
            lines += program_record(name, program, report.bytes, written);
            lines += '\n';
        }
    FileFacts facts;
    facts.file = report.file;
    facts.member = name.member;
    if (report.hashes) {
        facts.crc32 = report.hashes->crc32;
        facts.sha1 = report.hashes->sha1;
    }
    if (report.new_hashes) {
        facts.new_crc32 = report.new_hashes->crc32;
        facts.new_sha1 = report.new_hashes->sha1;
    }
    facts.container = report.container;
    facts.size = report.bytes.size();
    facts.written = report.written;
    facts.warnings = report.verdict.warnings;
    if (!report.failure.message.empty())
        facts.error = report.failure.message;
    else if (!report.verdict.why.empty())
        facts.error = report.verdict.why;
    facts.status = report.failure.status;
    lines += file_record(facts, report.result) + "\n";
    say_text(lines);
}

void failure(const Options& options, const FileReport* report, const Failure& failure) {
    print_failure_of(options.batch(), report != nullptr ? &report->file : nullptr, failure, false);
}

void summary(const Options& options, const BatchCounts& counts, bool interrupted) {
    JsonObject record;
    record.string("record", "summary")
        .number("files", counts.files)
        .number("changed", counts.changed)
        .number("unchanged", counts.unchanged)
        .number("kept", counts.kept)
        .number("failed", counts.failed);
    if (options.mode == Mode::check)
        record.number("lacking", counts.lacking)
            .number("without_start_line", counts.without_start_line)
            .number("damaged", counts.damaged);
    if (interrupted)
        record.boolean("interrupted", true);
    say_text(record.done() + "\n");
}

} // namespace

const Reporter JSON_REPORTER = {run_begins, file_begins, file_ends, failure, summary};

} // namespace mog
