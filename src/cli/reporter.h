// What a run tells as it goes: one small reporter per output format, chosen
// once from the options. A new format is one file with its reporter and one
// row in reporter_for.
#pragma once

#include "cli/failure.h"
#include "cli/file_report.h"
#include "cli/options.h"

namespace mog {

// Counts of a batch's files by what became of them.
struct BatchCounts {
    int files = 0;
    int changed = 0;
    int unchanged = 0;
    int kept = 0;
    int failed = 0;
    // What a check found, each file that fails it counted once: damaged (a
    // warning), else without a start line, else lacking the number.
    int damaged = 0;
    int without_start_line = 0;
    int lacking = 0;
};

struct Reporter {
    // The run starts: a single run names the destination it derived (null in a batch).
    void (*run_begins)(const Options& options, const SingleTarget* target);
    // A file was read and its walk started: the notices about the whole file are known.
    void (*file_begins)(const Options& options, const FileReport& report);
    // A file is done: its programs, its notices, what became of it.
    void (*file_ends)(const Options& options, const FileReport& report);
    // A failure of the run (no report) or of one file.
    void (*failure)(const Options& options, const FileReport* report, const Failure& failure);
    // A batch is done, or was interrupted.
    void (*summary)(const Options& options, const BatchCounts& counts, bool interrupted);
};

extern const Reporter TEXT_REPORTER;
extern const Reporter JSON_REPORTER;

const Reporter& reporter_for(const Options& options);

} // namespace mog
