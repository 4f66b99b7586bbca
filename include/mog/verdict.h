// What becomes of a file: the one judgement that the tool, the page and the
// Python package give, from what the pass found and the job asked for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "mog/container.h"
#include "mog/files.h"
#include "mog/pass.h"

namespace mog {

enum class Job {
    list,  // show the programs, change nothing
    check, // change nothing; tell whether every start line carries the number
    stamp, // set the start lines' numbers
};

struct JobRules {
    Job job = Job::list;
    unsigned line_number = 0; // what a check wants and a stamp writes
    // A batch lists a one-program file without its start line and goes on; a
    // single run fails on it.
    bool batch = false;
    // A check passes a file without a start line (collections hold data and
    // BASIC programs); lacking numbers and damaged files still fail.
    bool start_line_optional = false;
};

enum class Outcome {
    changed,   // start lines changed: the file is to be written
    unchanged, // nothing to write
    kept,      // a change that was not written: its destination is in the way
    failed,    // the file could not be worked on
};

// Why a file has no verdict of its own besides its programs.
enum class Fault {
    none,
    unknown_kind, // the name is of no kind mog reads
    file,         // the file could not be found or read
    pass,         // the pass failed (a one-program file without its start line, a P00 without its header, ...)
};

struct Verdict {
    Outcome outcome = Outcome::unchanged;
    int status = 0;           // the tool's exit status for this file alone: 0, 1, 2, 3 or 4
    Fault fault = Fault::none;
    std::string why;          // what the file's record gives as its error, without "ERROR: "; empty for none
    bool no_start_line = false;     // no start line was found in the file
    bool check_failed = false;      // a check does not pass the file
    std::vector<std::size_t> lacking;          // positions in the pass's programs whose start line lacks the number
    std::vector<std::string> warnings;         // every warning's words, in the order found
    std::vector<std::string> failing_warnings; // those that fail a check
};

// The verdict on a file whose programs the pass went over.
Verdict judge(const Container& container, const PassResult& result, const JobRules& rules);

// The verdict on a file that could not be read, and on a name of no kind.
Verdict judge(const FileError& error);
Verdict judge_unknown_kind();

// True when a check does not pass over the notice: an image whose size is
// one of its format's whole layouts is read as it is; any other warning
// tells that the file may hold more than could be checked.
bool fails_check(const Notice& notice, const Container& container);

} // namespace mog
