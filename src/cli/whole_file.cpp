#include "cli/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/file_replace.h"

bool file_exists(const char* name) {
    if (name == nullptr)
        return false;
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

namespace {

// Streams such as pipes tell no size: they are read until they end.
ImageBuffer read_unsized(std::FILE* file) {
    ImageBuffer image;
    std::size_t capacity = 0;
    for (;;) {
        if (image.size == capacity) {
            capacity = capacity == 0 ? 65536 : capacity * 2;
            auto* larger = static_cast<unsigned char*>(std::realloc(image.bytes, capacity));
            if (larger == nullptr) {
                std::free(image.bytes);
                return ImageBuffer{nullptr, 0, ENOMEM};
            }
            image.bytes = larger;
        }
        std::size_t got = std::fread(image.bytes + image.size, 1, capacity - image.size, file);
        image.size += got;
        if (got == 0)
            break;
    }
    if (std::ferror(file)) {
        std::free(image.bytes);
        return ImageBuffer{nullptr, 0, errno != 0 ? errno : EIO};
    }
    return image;
}

ImageBuffer read_open_file(std::FILE* file) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0)
        return ImageBuffer{nullptr, 0, errno};
    if (S_ISDIR(info.st_mode))
        return ImageBuffer{nullptr, 0, EISDIR};
    if (!S_ISREG(info.st_mode))
        return read_unsized(file);

    auto size = static_cast<std::size_t>(info.st_size);
    // The file goes straight into the buffer in one read, not through stdio's.
    std::setvbuf(file, nullptr, _IONBF, 0);
    ImageBuffer image;
    image.bytes = static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
    if (image.bytes == nullptr)
        return ImageBuffer{nullptr, 0, ENOMEM};
    // A file that shrank since fstat gives fewer bytes; only those count.
    image.size = std::fread(image.bytes, 1, size, file);
    if (image.size < size && std::ferror(file)) {
        std::free(image.bytes);
        return ImageBuffer{nullptr, 0, errno != 0 ? errno : EIO};
    }
    return image;
}

} // namespace

ImageBuffer read_whole_file(const char* name) {
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return ImageBuffer{nullptr, 0, errno};
    ImageBuffer image = read_open_file(file);
    std::fclose(file);
    return image;
}

int write_whole_file(const unsigned char* buffer, const char* name, std::size_t size) {
    return replace_file(name, buffer, size);
}
