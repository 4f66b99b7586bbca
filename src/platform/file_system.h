// The files a run reads, replaces and searches, behind one small interface:
// the system's own (SystemFileSystem) and, for tests, one held in memory. A
// run's rules are then tested in process, file system and all, as rows.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "mog/bytes.h"
#include "mog/files.h"
#include "platform/file_access.h"
#include "platform/file_replace.h"
#include "platform/folder.h"

namespace mog {

// A folder a search reached, as a value: where it lies and what it was when
// it was listed. Files below it are reached through the folders as they were
// found: should any part of the path be swapped meanwhile (for a link, for
// another folder), nothing behind the swap is read or written.
struct Folder {
    std::shared_ptr<const Folder> parent; // none for a folder named on the command line
    std::string name;                     // within the parent; the name as given for a named folder
    std::string path;                     // as shown: the parent's path joined with the name
    FileIdentity identity;                // what the listing found
};

// Where a file is: a name as given (links in it followed), or an entry of a
// folder a search reached.
struct Place {
    std::shared_ptr<const Folder> folder; // none: name is a path as given
    std::string name;                     // within the folder, or the path as given

    // The name as shown to the user.
    std::string path() const { return folder ? joined_path(folder->path, name) : name; }
    // Another name in the same folder: other_name is made from name as name
    // is (a path as given, or an entry of the folder), by a rule that keeps
    // its folder part, such as the default destination's.
    Place sibling(std::string other_name) const { return Place{folder, std::move(other_name)}; }
};

// What a file was when it was read. A file is replaced by its new content
// only while all of it is as read.
struct FileStamp {
    FileIdentity identity;
    unsigned long long size = 0;
    long long modified_ns = 0;
    long long changed_ns = 0;

    bool operator==(const FileStamp&) const = default;
};

struct SourceRead {
    std::optional<FileError> error; // not found, or could not be read; the bytes are empty then
    FileStamp stamp;                // of the file read; its identity also when it could not be read
    bool identity_known = false;    // the file could be opened, so its identity is in the stamp
};

// How a file is replaced.
struct ReplaceRules {
    bool replacing_allowed = false; // without it, anything at the name stays and the write fails with EEXIST
    // refuse: a link at the name is never written through (IS_A_LINK), as
    // at a name in a folder a search found, whatever this says
    Links links = Links::follow;
    // For a file replaced by its new content: the file as it was read. The
    // write is given up with FILE_CHANGED when the name no longer leads to
    // it as it was, and with FILE_BEING_WRITTEN when another program has it
    // open for writing; extended attributes the system keeps with the file
    // are carried over (a failure to do so gives up the write too).
    std::optional<FileStamp> unchanged_since;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // A place in a folder a search found is reached through the folders as
    // they were found. Where one of them is no longer what the search found
    // (another folder, a link, a file), path_kind gives absent, name_use
    // taken and identity nothing, and read, replace and list fail with
    // FOLDER_CHANGED.

    // What the name stands for, links followed.
    virtual PathKind path_kind(const Place& place) = 0;
    // What is at the name itself, links not followed.
    virtual NameUse name_use(const Place& place) = 0;
    // The identity of the file the name leads to.
    virtual std::optional<FileIdentity> identity(const Place& place) = 0;
    // Reads a regular file of at most max_size bytes whole into the buffer,
    // which is reused; anything else is refused before a byte is read, as
    // read_file does. A name as given is read through its links; a link at a
    // name in a folder a search found never is (IS_A_LINK). The file read stays open in
    // the object until it is replaced or the next file is read. Once the file
    // is open, before a byte is read, opened is asked whether to go on (a
    // single run asks about its destination there); when it says no, nothing
    // is read and no error given.
    virtual SourceRead read(const Place& place, std::size_t max_size, Bytes& into,
                            const std::function<bool()>& opened = {}) = 0;
    // Writes the bytes to a new file beside the name and renames it over the
    // name once they are all written (and, when replacing, on the device).
    // As for read, a link at a name in a folder a search found is never
    // written through nor replaced.
    virtual Replaced replace(const Place& place, std::span<const unsigned char> bytes, const ReplaceRules& rules) = 0;
    // The entries of a folder but "." and "..", and what the folder is. A
    // folder reached by a search must be no link (IS_A_LINK).
    virtual int list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) = 0;
};

// The system's own files. One object serves one thread; it holds the
// folders on the way to the current file open (never more than their
// depth) and the file last read. On Linux it asks whether a file replaced
// by its new content is open for writing elsewhere by a read lease, which it
// only takes when SIGIO was ignored or caught as it was made (see
// ignore_write_signals): a lease broken by another program's open sends it.
std::unique_ptr<FileSystem> system_file_system();

} // namespace mog
