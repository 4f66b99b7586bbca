// What a file name stands for, and reading a file, on each system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace mog {

enum class PathKind {
    absent,        // nothing at the name, not even a link
    dangling_link, // a link that leads nowhere
    link_loop,     // links that go round in a loop
    regular_file,
    folder,
    other, // a device, a FIFO, a socket
};

// What the name stands for, links followed. Opens nothing.
PathKind path_kind(const char* name);

// What is at the name itself, links not followed.
enum class NameUse {
    free, // nothing, not even a link
    link, // a symbolic link (on Windows, a reparse point), whatever it leads to
    taken,
};
NameUse name_use(const char* name);

// What a file is, whatever name leads to it: the same for two names of one
// file (hard links, links, "a/../b").
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : number < other.number;
    }
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file the name leads to; nothing when it cannot be had.
std::optional<FileIdentity> file_identity(const char* name);

// A file opened for reading, with what it is, its size and its times when
// opened.
struct OpenedFile {
    std::intptr_t handle = -1;
    PathKind kind = PathKind::absent;
    unsigned long long size = 0; // for a regular file
    FileIdentity identity;
    long long modified_ns = 0; // since the epoch of the system's clock
    long long changed_ns = 0;  // the content or what is kept about the file (owner, mode, links)
};

// Links are followed, or the name must be no link at all.
enum class Links { follow, refuse };

// Opens what the name leads to for reading, without waiting on a FIFO or a
// device. Gives 0, an errno value, or IS_A_LINK for a link refused.
int open_for_reading(const char* name, OpenedFile& file, Links links = Links::follow);

// Reads up to size bytes. Gives the bytes read, 0 at the end of the file, or
// minus an errno value.
long long read_some(OpenedFile& file, unsigned char* into, std::size_t size);

void close_file(OpenedFile& file);

} // namespace mog
