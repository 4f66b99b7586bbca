#include "platform/whole_file.h"

#include <cerrno>
#include <new>
#include <string>

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
int read_into(OpenedFile& file, Bytes& bytes) {
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

OpenedSource::OpenedSource(std::string_view name, Links links) : name_(name) {
    if (int error = open_for_reading(name_.c_str(), file_, links); error != 0) {
        const PathKind kind = path_kind(name_.c_str());
        const bool something_else = kind == PathKind::folder || kind == PathKind::other || error == IS_A_LINK;
        error_ = FileError{something_else ? FileStep::read : FileStep::find, error, name_};
    }
}

OpenedSource::~OpenedSource() {
    close_file(file_);
}

int read_opened(OpenedFile& file, std::size_t max_size, Bytes& bytes) {
    bytes.clear();
    int error = check_readable(file, max_size);
    if (error == 0)
        error = read_into(file, bytes);
    if (error != 0)
        bytes.clear();
    return error;
}

std::optional<FileError> OpenedSource::read(std::size_t max_size, Bytes& bytes) {
    bytes.clear();
    if (error_)
        return error_;
    int error = read_opened(file_, max_size, bytes);
    close_file(file_);
    if (error == 0)
        return std::nullopt;
    return FileError{FileStep::read, error, name_};
}

WholeFile read_whole_file(std::string_view name, std::size_t max_size, Bytes& bytes) {
    OpenedSource source(name);
    WholeFile result;
    result.error = source.read(max_size, bytes);
    result.identity = source.identity();
    return result;
}

} // namespace mog
