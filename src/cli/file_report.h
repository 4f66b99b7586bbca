// What a run did with one file: the value that every output is written from.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "cli/failure.h"
#include "mog/pass.h"

namespace mog {

enum class Outcome {
    changed,   // written
    unchanged, // nothing to write, or nothing written by choice
    kept,      // a change that was not written: its destination is in the way
    failed,    // the file could not be worked on
};

struct FileReport {
    std::string file;                     // the name as given, or as a folder search found it
    std::optional<Container> container;   // none when the name has no kind mog reads
    std::span<const unsigned char> bytes; // what was read, for the start lines' texts
    bool walked = false;                  // the file was read and its programs walked
    PassResult result;
    Outcome outcome = Outcome::unchanged;
    std::string destination;            // where a change goes
    bool destination_is_link = false;   // kept: the destination is a link, never written through
    std::optional<std::string> written; // the name written to
    std::string no_start_line;          // a one-program file of a batch without its start line: why
    bool lacks_number = false;          // a start line does not carry the number
    bool check_failed = false;          // a check could not pass the file
    Failure failure;                    // with the status this file alone ends with
};

// True for a notice about the whole file, shown before its programs; the
// others tell where its directory broke, shown after them.
inline bool about_the_file(const Notice& notice) {
    return notice.kind != NoticeKind::directory_broken;
}

} // namespace mog
