// The steps every run takes with each file, in one place: find it, read it
// whole, walk and pass over its programs, check them, decide what to write,
// write it, and report. A single run is these steps for its one file with a
// question before the read; a batch takes them for each file.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>

#include "cli/file_report.h"
#include "cli/line_prompt.h"
#include "cli/options.h"
#include "cli/reporter.h"
#include "mog/bytes.h"
#include "platform/file_access.h"
#include "platform/file_replace.h"
#include "platform/interruptions.h"

namespace mog {

// What a run keeps from one file to the next.
struct Session {
    Session(const Options& run_options, const Reporter& run_reporter, Interruptions caught = Interruptions::hold)
        : options(run_options), reporter(run_reporter), interruptions(caught) {}

    const Options& options;
    const Reporter& reporter;
    Bytes buffer;                   // one buffer for every file
    std::set<FileIdentity> done;    // files worked on, as their names lead to them afterwards
    std::set<FileIdentity> written; // destinations this run wrote
    Interruptions interruptions = Interruptions::hold;
};

struct FileTask {
    std::string name;
    int search_error = 0;         // a folder, or an entry of one, that could not be searched: the errno value
    bool found_in_folder = false; // not named on the command line
};

// What a single run adds: its destination, and the question before the
// source is read.
struct SingleRun {
    const SingleTarget& target;
    AnswerInput answers;
};

// Takes every step with the file and reports it; gives its report, or
// nothing when the file is passed over unreported (another name for a file
// the batch already worked on).
std::optional<FileReport> process_file(Session& session, const FileTask& task, SingleRun* single = nullptr);

} // namespace mog
