// The steps every run takes with each file, in one place: find it, read it
// whole, walk and pass over its programs, judge them, decide what to write,
// write it, and report. A single run is these steps for its one file with a
// question before the read; a batch takes them for each file.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/file_report.h"
#include "cli/line_prompt.h"
#include "cli/options.h"
#include "cli/reporter.h"
#include "mog/bytes.h"
#include "platform/file_system.h"

namespace mog {

// What a run keeps from one file to the next.
struct Session {
    Session(const Options& run_options, const Reporter& run_reporter, FileSystem& run_files,
            bool interruptions_caught = false)
        : options(run_options), reporter(run_reporter), files(run_files), interruptions_caught(interruptions_caught) {}

    const Options& options;
    const Reporter& reporter;
    FileSystem& files;
    Bytes buffer;                   // one buffer for every file
    std::vector<Bytes> spare;       // buffers of archives' members, for the next archive
    std::set<FileIdentity> done;    // files worked on, as their names lead to them afterwards
    std::set<FileIdentity> written; // destinations this run wrote
    std::set<FileIdentity> named_sources; // a batch's files named on the command line: never a destination
    // Interruptions only mark that they came (a batch); otherwise a write
    // holds them until the file is in place.
    bool interruptions_caught = false;
};

struct FileTask {
    Place place;
    int search_error = 0;         // a folder, or an entry of one, that could not be searched: the errno value
    bool found_in_folder = false; // not named on the command line

    std::string name() const { return place.path(); }
};

// What a single run adds: its destination, and the question before the
// source is read.
struct SingleRun {
    const SingleTarget& target;
    AnswerInput answers;
};

// The job the options ask for, as the library judges files by.
JobRules job_rules(const Options& options);

// Takes every step with the file and reports it; gives its report, one for
// each container it holds (an archive's members), or none when the file is
// passed over unreported (another name for a file the batch already worked
// on, a file of another kind found in a folder).
std::vector<FileReport> process_file(Session& session, const FileTask& task, SingleRun* single = nullptr);

} // namespace mog
