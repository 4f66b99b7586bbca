#include "image/container.h"

#include <cstring>

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The last four characters, or null for a shorter name.
const char* extension_of(const char* name) {
    std::size_t length = std::strlen(name);
    return length < EXTENSION_LENGTH ? nullptr : name + length - EXTENSION_LENGTH;
}

// ".p" and two digits, as PC64 numbers its files: .p00, .p01 and so on.
bool p00_extension(const char* name) {
    const char* extension = extension_of(name);
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return extension != nullptr && extension[0] == '.' && lower(extension[1]) == 'p' && digit(extension[2]) &&
           digit(extension[3]);
}

} // namespace

bool same_extension(const char* first, const char* second) {
    const char* a = extension_of(first);
    const char* b = extension_of(second);
    if (a == nullptr || b == nullptr)
        return false;
    for (int i = 0; i < EXTENSION_LENGTH; ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::string default_destination(const char* source) {
    const char* extension = extension_of(source);
    std::string name(source, static_cast<std::size_t>(extension - source));
    name += ".out";
    for (const char* c = extension; *c != '\0'; ++c)
        name += lower(*c);
    return name;
}

bool container_for_name(const char* name, Container& container) {
    container = Container{};
    if (same_extension(name, ".prg"))
        return true;
    container.kind = ContainerKind::tape;
    if (same_extension(name, ".t64"))
        return true;
    container.kind = ContainerKind::p00;
    if (p00_extension(name))
        return true;
    container.kind = ContainerKind::disk;
    for (const DiskFormat& format : DISK_FORMATS) {
        char extension[EXTENSION_LENGTH + 1] = {'.'};
        for (int i = 0; i + 1 < EXTENSION_LENGTH && format.name[i] != '\0'; ++i)
            extension[i + 1] = format.name[i];
        container.disk = &format;
        if (same_extension(name, extension))
            return true;
    }
    return false;
}

bool holds_one_program(const Container& container) {
    return container.kind == ContainerKind::prg || container.kind == ContainerKind::p00;
}
