// Reading a container file whole, with one open.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "mog/files.h"
#include "platform/file_access.h"

namespace mog {

// A source opened for reading, or why it could not be. A name at which
// nothing can be opened (nothing there, a link leading nowhere or in a loop,
// a regular file the user may not read) is not found; something else there
// that cannot be opened cannot be read. Closed when it goes.
class OpenedSource {
  public:
    explicit OpenedSource(std::string_view name, Links links = Links::follow);
    ~OpenedSource();
    OpenedSource(const OpenedSource&) = delete;
    OpenedSource& operator=(const OpenedSource&) = delete;

    const std::optional<FileError>& error() const { return error_; }

    // Reads the file, if it is a regular file of at most max_size bytes,
    // into the buffer, which is resized to the bytes actually read (a file
    // that shrank since it was opened gives fewer). Anything else is refused
    // before a byte is read: a folder (EISDIR), another kind of file
    // (NOT_A_REGULAR_FILE), a larger file (EFBIG); the buffer is then empty.
    std::optional<FileError> read(std::size_t max_size, Bytes& bytes);

    FileIdentity identity() const { return file_.identity; }

  private:
    std::string name_;
    OpenedFile file_;
    std::optional<FileError> error_;
};

// Reads an opened file as OpenedSource::read does, leaving it open. Gives 0,
// EISDIR, NOT_A_REGULAR_FILE, EFBIG or the errno value of a failed read; the
// buffer is then empty.
int read_opened(OpenedFile& file, std::size_t max_size, Bytes& bytes);

struct WholeFile {
    std::optional<FileError> error; // the bytes are empty when set
    FileIdentity identity;          // of the file read
};

// Opens and reads a file as above.
WholeFile read_whole_file(std::string_view name, std::size_t max_size, Bytes& bytes);

} // namespace mog
