#include "platform/file_access.h"

#include "mog/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mog {

namespace {

PathKind kind_of(mode_t mode) {
    if (S_ISREG(mode))
        return PathKind::regular_file;
    return S_ISDIR(mode) ? PathKind::folder : PathKind::other;
}

// Non-blocking, so that a FIFO put in the file's place cannot hang the open.
int open_without_waiting(const char* name, Links links) {
    return open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (links == Links::refuse ? O_NOFOLLOW : 0));
}

} // namespace

PathKind path_kind(const char* name) {
    struct stat info {};
    if (stat(name, &info) != 0) {
        if (errno == ELOOP)
            return PathKind::link_loop;
        return lstat(name, &info) == 0 ? PathKind::dangling_link : PathKind::absent;
    }
    return kind_of(info.st_mode);
}

NameUse name_use(const char* name) {
    struct stat info {};
    if (lstat(name, &info) != 0)
        return errno == ENOENT ? NameUse::free : NameUse::taken;
    return S_ISLNK(info.st_mode) ? NameUse::link : NameUse::taken;
}

std::optional<FileIdentity> file_identity(const char* name) {
    struct stat info {};
    if (stat(name, &info) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int open_for_reading(const char* name, OpenedFile& file, Links links) {
    int fd = open_without_waiting(name, links);
    if (fd < 0)
        return links == Links::refuse && errno == ELOOP && name_use(name) == NameUse::link ? IS_A_LINK : errno;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    file.handle = fd;
    file.kind = kind_of(info.st_mode);
    file.size = info.st_size > 0 ? static_cast<unsigned long long>(info.st_size) : 0;
    file.identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return 0;
}

long long read_some(OpenedFile& file, unsigned char* into, std::size_t size) {
    for (;;) {
        ssize_t got = read(static_cast<int>(file.handle), into, size);
        if (got >= 0)
            return got;
        if (errno != EINTR)
            return -static_cast<long long>(errno);
    }
}

void close_file(OpenedFile& file) {
    if (file.handle >= 0)
        close(static_cast<int>(file.handle));
    file.handle = -1;
}

} // namespace mog
