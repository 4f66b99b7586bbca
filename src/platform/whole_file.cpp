#include "platform/whole_file.h"

#include <cerrno>
#include <new>

namespace mog {

namespace {

int check_readable(const OpenedFile& file, std::size_t max_size) {
    if (file.kind == PathKind::folder)
        return EISDIR;
    if (file.kind != PathKind::regular_file)
        return NOT_A_REGULAR_FILE;
    return file.size > max_size ? EFBIG : 0;
}

// The file goes straight into the buffer, read until its size or its end.
int read_into(OpenedFile& file, SourceBytes& bytes) {
    const auto size = static_cast<std::size_t>(file.size);
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
    std::size_t got = 0;
    while (got < size) {
        long long read = read_some(file, bytes.data() + got, size - got);
        if (read < 0)
            return static_cast<int>(-read);
        if (read == 0)
            break;
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return 0;
}

} // namespace

int read_whole_file(const char* name, std::size_t max_size, SourceBytes& bytes) {
    bytes.clear();
    OpenedFile file;
    int error = open_for_reading(name, file);
    if (error != 0)
        return error;
    error = check_readable(file, max_size);
    if (error == 0)
        error = read_into(file, bytes);
    close_file(file);
    if (error != 0)
        bytes.clear();
    return error;
}

} // namespace mog
