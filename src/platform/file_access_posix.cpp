#include "platform/file_access.h"

#include "mog/files.h"
#include "platform/files_at_posix.h"

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

FileIdentity identity_of(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

long long nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

} // namespace

PathKind path_kind_at(int folder, const char* name) {
    struct stat info {};
    if (fstatat(folder, name, &info, 0) != 0) {
        if (errno == ELOOP)
            return PathKind::link_loop;
        return fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 ? PathKind::dangling_link : PathKind::absent;
    }
    return kind_of(info.st_mode);
}

NameUse name_use_at(int folder, const char* name) {
    struct stat info {};
    if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? NameUse::free : NameUse::taken;
    return S_ISLNK(info.st_mode) ? NameUse::link : NameUse::taken;
}

std::optional<FileIdentity> file_identity_at(int folder, const char* name) {
    struct stat info {};
    if (fstatat(folder, name, &info, 0) != 0)
        return std::nullopt;
    return identity_of(info);
}

void take_status(const struct stat& info, OpenedFile& file) {
    file.kind = kind_of(info.st_mode);
    file.size = info.st_size > 0 ? static_cast<unsigned long long>(info.st_size) : 0;
    file.identity = identity_of(info);
    file.modified_ns = nanoseconds(info.st_mtim);
    file.changed_ns = nanoseconds(info.st_ctim);
}

// Non-blocking, so that a FIFO put in the file's place cannot hang the open.
int open_for_reading_at(int folder, const char* name, OpenedFile& file, Links links, struct stat* status) {
    int fd = openat(folder, name,
                    O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (links == Links::refuse ? O_NOFOLLOW : 0));
    if (fd < 0) {
        const int error = errno;
        return links == Links::refuse && error == ELOOP && name_use_at(folder, name) == NameUse::link ? IS_A_LINK
                                                                                                      : error;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    file.handle = fd;
    take_status(info, file);
    if (status != nullptr)
        *status = info;
    return 0;
}

PathKind path_kind(const char* name) {
    return path_kind_at(AT_FDCWD, name);
}

NameUse name_use(const char* name) {
    return name_use_at(AT_FDCWD, name);
}

std::optional<FileIdentity> file_identity(const char* name) {
    return file_identity_at(AT_FDCWD, name);
}

int open_for_reading(const char* name, OpenedFile& file, Links links) {
    return open_for_reading_at(AT_FDCWD, name, file, links);
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
