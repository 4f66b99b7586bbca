#include "image/container.h"

#include <cstring>

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool same_extension(const char* first, const char* second) {
    std::size_t first_length = std::strlen(first);
    std::size_t second_length = std::strlen(second);
    if (first_length < EXTENSION_LENGTH || second_length < EXTENSION_LENGTH)
        return false;
    const char* a = first + first_length - EXTENSION_LENGTH;
    const char* b = second + second_length - EXTENSION_LENGTH;
    for (int i = 0; i < EXTENSION_LENGTH; ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

bool container_for_name(const char* name, Container& container) {
    if (same_extension(name, ".prg")) {
        container = Container{ContainerKind::prg, nullptr};
        return true;
    }
    for (const DiskFormat& format : DISK_FORMATS) {
        char extension[EXTENSION_LENGTH + 1] = {'.'};
        for (int i = 0; i + 1 < EXTENSION_LENGTH && format.name[i] != '\0'; ++i)
            extension[i + 1] = format.name[i];
        if (same_extension(name, extension)) {
            container = Container{ContainerKind::disk, &format};
            return true;
        }
    }
    return false;
}

bool holds_one_program(const Container& container) {
    return container.kind == ContainerKind::prg;
}
