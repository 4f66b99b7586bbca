// The options of one run, as the argument walk finds them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "basic/sys_line.h"
#include "mog/container.h"
#include "mog/petscii.h"

namespace mog {

struct RunOptions {
    bool view = false;                   // -v: show, change nothing
    bool interactive = false;            // -i: ask for each program's number
    bool line_number_given = false;      // -n
    bool replace_without_asking = false; // -y: an existing destination is replaced
    bool json = false;                   // --json: JSON Lines on standard output instead of text
    bool unicode = false;                // --unicode: PETSCII shown as Unicode, not code page 850
    bool check = false;                  // --check: change nothing, tell whether every line has the number
    bool batch = false;                  // --batch: every name is a source, folders are searched
    bool in_place = false;               // --in-place: a batch that replaces each file it changes
    long line_number = 0;                // the -n value, or the year once the run settles it
    PetsciiStyle petscii;                // -a selects the block table, -o raw output
    const char* source = nullptr;
    std::vector<const char*> names;                  // in a batch, every name given
    std::optional<std::string> destination;          // absent in view mode unless given
    bool destination_derived = false;                // the default, to be announced
    Container container;                             // the source's kind
    std::vector<unsigned> basic_starts{BASIC_START}; // --machine: where start lines may load
};

} // namespace mog
