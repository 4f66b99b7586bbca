// JSON Lines for scripts: one object per program, one per file, and a
// summary after a batch.
#pragma once

#include <string>

#include "cli/file_report.h"
#include "cli/run_options.h"

namespace mog {

// Text as a JSON string: every control character (U+0000-U+001F, U+007F,
// U+0080-U+009F) as \u00XX, and each byte that is no valid UTF-8 as U+FFFD.
std::string json_string(const std::string& text);

// The record of one program of the file.
std::string program_record(const FileReport& report, const ProgramRecord& program);

// The record of the file itself, after its programs'.
std::string file_record(const FileReport& report);

// Writes the file's records to standard output: every program (with --check
// only those that lack the number), then the file.
void write_file_records(const FileReport& report, const RunOptions& options);

// Counts of a batch's files by what became of them.
struct BatchCounts {
    int files = 0;
    int changed = 0;
    int unchanged = 0;
    int kept = 0;
    int failed = 0;
};

std::string summary_record(const BatchCounts& counts);

} // namespace mog
