// What one run did with one file: the value that the text and JSON outputs
// are written from.
#pragma once

#include <optional>
#include <string>

#include "cli/failure.h"
#include "mog/pass.h"

namespace mog {

struct FileReport {
    std::string file;                     // the name as given
    Container container;                  // no kind when the name has none mog reads
    std::size_t size = 0;                 // bytes read
    const unsigned char* bytes = nullptr; // what was read, for the start lines' texts
    PassResult result;
    std::size_t notices_at_start = 0;   // notices about the whole file, found before its programs
    std::optional<std::string> written; // the name written to
    Failure failure;                    // with the status this file alone ends with
};

// True for a start line that does not carry the number, as a check reports it.
inline bool lacks_number(const ProgramRecord& program, unsigned line_number) {
    return program.start_line && program.line != line_number;
}

// True when any start line of the pass does not carry the number.
inline bool any_lacks_number(const PassResult& result, unsigned line_number) {
    for (const ProgramRecord& program : result.programs)
        if (lacks_number(program, line_number))
            return true;
    return false;
}

} // namespace mog
