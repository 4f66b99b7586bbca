// Container files on disk: read under the tool's limits, and replaced with
// its durable, never-clobber rules.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "mog/bytes.h"

namespace mog {

// Real containers are well under 1 MiB: a larger file is no container, and
// reading it (a 3 GiB sparse file, say) would only waste time.
constexpr std::size_t MAX_FILE_SIZE = 16 * 1024 * 1024;

// The error codes of a name that is no regular file, and of a symbolic link
// where none is followed, beside errno values. The tool's own replacement of
// a file by its new content also gives up the write, leaving the file as it
// is, when the file changed after it was read, when another program has it
// open for writing, when a folder of its path is no longer the one searched,
// and when its extended attributes cannot be carried over.
constexpr int NOT_A_REGULAR_FILE = -1;
constexpr int IS_A_LINK = -2;
constexpr int FILE_CHANGED = -3;
constexpr int FILE_BEING_WRITTEN = -4;
constexpr int FOLDER_CHANGED = -5;
constexpr int ATTRIBUTES_NOT_KEPT = -6;

// What a file could not be used for.
enum class FileStep {
    find,  // nothing readable is at the name
    read,  // something is there, but it cannot be read as a container file
    write, // the file could not be written
};

struct FileError {
    FileStep step;
    int code = 0;     // an errno value or one of the codes above
    std::string name; // as given
};

struct FileRead {
    Bytes bytes;
    std::optional<FileError> error; // the bytes are empty when set
};

// Reads a regular file of at most MAX_FILE_SIZE bytes whole; links are
// followed. A folder, a device, a FIFO or a larger file is refused before a
// byte is read. The buffer given is reused for the bytes.
// A name holding a NUL character names no file: it fails with EINVAL, here
// and in replace_file, and nothing is touched.
FileRead read_file(std::string_view name, Bytes reuse = {});
FileRead read_file(std::nullptr_t, Bytes = {}) = delete;

// Writes the bytes to a new file beside the name and renames it over the
// name only once every byte is written, and, when it replaces a file, on
// the device: a failure or a crash leaves the old file or the new one, never
// a part. Without replace_existing
// anything at the name (even a link, even one that came while the file was
// written) stays, and the write fails with EEXIST. With it, an existing
// file keeps its permission bits and a symbolic link is written through to
// its target; a folder, a device or a FIFO there is refused.
//
// Neither call changes anything of the process (signals, umask, working
// folder), so calls on distinct files may run at once from several threads.
// Writing beyond a file-size limit raises SIGXFSZ, which ends the process
// unless the host ignores it; ignored, the write fails with EFBIG.
std::optional<FileError> replace_file(std::string_view name, std::span<const unsigned char> bytes,
                                      bool replace_existing);
std::optional<FileError> replace_file(std::nullptr_t, std::span<const unsigned char>, bool) = delete;

// The current calendar year in local time.
int current_year();

} // namespace mog
