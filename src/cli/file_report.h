// What a run did with one file: the value that every output is written from.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "cli/failure.h"
#include "mog/pass.h"
#include "mog/verdict.h"

namespace mog {

// Why a change was not written.
enum class KeptBecause {
    destination_exists,  // an existing destination, without -y
    destination_is_link, // a link at the destination is never written through
    destination_is_source, // a file the batch was given to read
    // A file replaced by its new content that another program changed after
    // it was read, or is writing: it stays as it is, and the batch fails so
    // that it is run again.
    file_changed,
    file_being_written,
};

// A file's fingerprints, as a set of verified files lists them.
struct Hashes {
    std::string crc32;
    std::string sha1;
};

struct FileReport {
    std::string file;                     // the name as given, or as a folder search found it
    std::optional<std::string> member;    // a member of an archive: its name within it
    std::size_t piece = 0, pieces = 1;    // its place among the containers of one file (an archive's members)
    std::optional<Container> container;   // none when the name has no kind mog reads
    std::span<const unsigned char> bytes; // what was read, for the start lines' texts
    bool walked = false;                  // the file was read and its programs walked
    PassResult result;
    Verdict verdict;                      // the library's judgement on what the pass found
    Outcome outcome = Outcome::unchanged; // the verdict's, or what the write made of it
    std::string destination;              // where a change goes
    KeptBecause kept_because = KeptBecause::destination_exists;
    std::optional<std::string> written; // the name written to
    Failure failure;                    // with the status this file alone ends with
    std::optional<Hashes> hashes;       // of the bytes as read, for JSON records
    std::optional<Hashes> new_hashes;   // of the bytes written
};

// True for a notice about the whole file, shown before its programs; the
// others tell where its directory broke, shown after them.
inline bool about_the_file(const Notice& notice) {
    return notice.kind != NoticeKind::directory_broken;
}

} // namespace mog
