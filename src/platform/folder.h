// The names in a folder, and what tells two names for one file apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mog {

enum class EntryKind {
    file,           // anything but a folder, links to files included
    folder,         // a folder itself, not a link to one
    link_to_folder, // not followed, so that a walk never loops
    unknown,        // what it is could not be found out (a name too long, say)
};

struct FolderEntry {
    std::string name; // the name within the folder, as the system stores it
    EntryKind kind;
    int error = 0; // for an unknown entry, the errno value
};

// The entries of a folder but "." and "..", in no particular order. Gives 0
// or an errno value.
int list_folder(const char* path, std::vector<FolderEntry>& entries);

// What a file is, whatever name leads to it: the same for two names of one
// file (hard links, links, "a/../b").
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : number < other.number;
    }
};

// The identity of the file the name leads to; false when it cannot be had.
bool file_identity(const char* name, FileIdentity& identity);

} // namespace mog
