// What a walk keeps to know its place: shared by the container walks, not
// seen by the walk's callers.
#pragma once

#include <cstddef>
#include <vector>

#include "mog/walk.h"

namespace mog {

// A file an archive's directory lists: where its name lies, and where its
// data begins and ends within the bytes read.
struct StoredFile {
    std::size_t name = 0;
    unsigned char file_type = PRG_FILE_TYPE;
    std::size_t start = 0;
    std::size_t end = 0;
};

struct ProgramWalk::State {
    Container container;
    unsigned char* bytes = nullptr;
    std::size_t size = 0;
    std::vector<Notice> notices; // in the order found
    std::size_t given = 0;       // programs given so far
    bool ended = false;
    std::size_t at = 0;                   // a disk's directory sector, a tape's next entry
    std::size_t end = 0;                  // a tape's entries to visit
    std::size_t next_entry = 0;           // the entry of a disk's directory sector to give next
    std::vector<bool> visited;            // a disk's sectors already visited, to stop loops
    std::vector<std::size_t> data_starts; // where a tape's entries' data begin, in order: each ends the one before
    std::vector<StoredFile> files;        // a Lynx archive's files, in directory order
};

using WalkState = ProgramWalk::State;

} // namespace mog
