#include "platform/whole_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PathKind path_kind(const char* name) {
    struct stat info {};
    if (stat(name, &info) != 0)
        return lstat(name, &info) == 0 ? PathKind::dangling_link : PathKind::absent;
    if (S_ISREG(info.st_mode))
        return PathKind::regular_file;
    return S_ISDIR(info.st_mode) ? PathKind::folder : PathKind::other;
}

bool can_read_file(const char* name) {
    // Non-blocking, so that a FIFO put in the file's place cannot hang the check.
    int fd = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

ImageBuffer read_whole_file(const char* name, std::size_t max_size) {
    int fd = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return ImageBuffer{nullptr, 0, errno};
    ImageBuffer image;
    struct stat info {};
    if (fstat(fd, &info) != 0)
        image.error = errno;
    else if (S_ISDIR(info.st_mode))
        image.error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        image.error = NOT_A_REGULAR_FILE;
    else if (static_cast<unsigned long long>(info.st_size) > max_size)
        image.error = EFBIG;
    else if ((image.bytes = static_cast<unsigned char*>(std::malloc(info.st_size > 0 ? info.st_size : 1))) == nullptr)
        image.error = ENOMEM;
    // The file goes straight into the buffer; a file that shrank since fstat
    // gives fewer bytes, and only those count.
    const auto size = static_cast<std::size_t>(info.st_size);
    while (image.error == 0 && image.size < size) {
        ssize_t got = read(fd, image.bytes + image.size, size - image.size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            image.error = errno;
        if (got <= 0)
            break;
        image.size += static_cast<std::size_t>(got);
    }
    close(fd);
    if (image.error != 0) {
        std::free(image.bytes);
        image.bytes = nullptr;
        image.size = 0;
    }
    return image;
}
