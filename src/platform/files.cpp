// The library's file helpers, over the system's own calls.
#include "mog/files.h"

#include <string>

#include "platform/file_replace.h"
#include "platform/whole_file.h"

namespace mog {

FileRead read_file(std::string_view name, Bytes reuse) {
    FileRead read{std::move(reuse), std::nullopt};
    read.error = read_whole_file(name, MAX_FILE_SIZE, read.bytes).error;
    return read;
}

std::optional<FileError> replace_file(std::string_view name, std::span<const unsigned char> bytes,
                                      bool replace_existing) {
    const std::string path(name);
    const Replaced replaced = replace_file_bytes(path.c_str(), bytes, replace_existing);
    if (replaced.error == 0)
        return std::nullopt;
    return FileError{FileStep::write, replaced.error, path};
}

} // namespace mog
