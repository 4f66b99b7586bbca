// The names in a folder.
#pragma once

#include <string>
#include <vector>

namespace mog {

enum class EntryKind {
    file,    // anything but a folder or a link
    folder,  // a folder itself
    link,    // a symbolic link, to whatever or to nothing; never followed
    unknown, // what it is could not be found out (a name too long, say)
};

struct FolderEntry {
    std::string name; // the name within the folder, as the system stores it
    EntryKind kind;
    int error = 0; // for an unknown entry, the errno value
};

// The entries of a folder but "." and "..", in no particular order. Gives 0
// or an errno value.
int list_folder(const char* path, std::vector<FolderEntry>& entries);

// The name of an entry within a folder, as given: "sub/" and "sub" both give
// "sub/f.prg"; on Windows "sub\\" gives "sub\\f.prg".
std::string joined_path(const std::string& folder, const std::string& name);

} // namespace mog
