// POSIX only: the calls of file_access.h, file_replace.h and folder.h
// relative to a folder held open, so that no change made later to the path
// that led to the folder is followed. AT_FDCWD as the folder takes a name as
// given, a path with links followed in its folders.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/file_access.h"
#include "platform/file_replace.h"
#include "platform/folder.h"

namespace mog {

PathKind path_kind_at(int folder, const char* name);
NameUse name_use_at(int folder, const char* name);
std::optional<FileIdentity> file_identity_at(int folder, const char* name);
// Also gives the file's whole status, where asked for.
int open_for_reading_at(int folder, const char* name, OpenedFile& file, Links links, struct stat* status = nullptr);
// What a file's status tells of it, as open_for_reading gives it.
void take_status(const struct stat& info, OpenedFile& file);

// The entries of the folder open as fd, which is closed.
int list_folder_at(int fd, std::vector<FolderEntry>& entries);

// The name a file is written at, and what is there now.
struct ReplaceTarget {
    int folder = -1;  // a folder handle, or AT_FDCWD
    std::string name; // within the folder; with AT_FDCWD a path
    bool exists = false;
    struct stat info {};
};

// Looks at what the name holds, following symbolic links (also dangling
// ones) to the name that is really written unless links are refused: then a
// link there gives IS_A_LINK. Links that go round in a loop give ELOOP.
int find_replace_target(int folder, const char* name, Links links, ReplaceTarget& target);

// Bits that name a temporary file: its first try is the caller's, any
// further one is drawn at random.
struct TemporaryName {
    long process = 0;
    std::uint64_t bits = 0;
};

// Bits from the system's random source (or, failing it, its clock).
std::uint64_t random_bits();

// Writes the bytes to a new file beside the target and renames it over the
// target (see replace_file_bytes). The target's status, where it exists,
// gives the new file's owner and mode.
Replaced replace_target(const ReplaceTarget& target, std::span<const unsigned char> bytes, bool replacing_allowed,
                        TemporaryName temporary, const ReplaceChecks& checks);

// Gives the new file every extended attribute the old one has. Gives 0,
// ATTRIBUTES_NOT_KEPT for one the new file cannot have (not allowed, or not
// on its file system), or an errno value.
int copy_extended_attributes(int from, int to);

} // namespace mog
