// The library's file helpers, over the system's own calls.
#include "mog/files.h"

#include <cerrno>
#include <string>

#include "platform/file_replace.h"
#include "platform/whole_file.h"

namespace mog {

namespace {

// The system takes a name up to its first NUL: "x.prg\0.d64" would be read
// as x.prg, of another kind than its name says, or replace it.
bool names_no_file(std::string_view name) {
    return name.find('\0') != std::string_view::npos;
}

} // namespace

FileRead read_file(std::string_view name, Bytes reuse) {
    FileRead read{std::move(reuse), std::nullopt};
    if (names_no_file(name)) {
        read.bytes.clear();
        read.error = FileError{FileStep::read, EINVAL, std::string(name)};
        return read;
    }
    read.error = read_whole_file(name, MAX_FILE_SIZE, read.bytes).error;
    return read;
}

std::optional<FileError> replace_file(std::string_view name, std::span<const unsigned char> bytes,
                                      bool replace_existing) {
    const std::string path(name);
    if (names_no_file(name))
        return FileError{FileStep::write, EINVAL, path};
    const Replaced replaced = replace_file_bytes(path.c_str(), bytes, replace_existing);
    if (replaced.error == 0)
        return std::nullopt;
    return FileError{FileStep::write, replaced.error, path};
}

} // namespace mog
