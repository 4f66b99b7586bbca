#include "image/container.h"

#include <cstring>

#include "image/container_kind.h"

namespace mog {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the extension is a dot and the format's name, ignoring case.
bool names_format(const char* extension, const DiskFormat& format) {
    if (extension[0] != '.')
        return false;
    for (std::size_t i = 1; i < EXTENSION_LENGTH; ++i)
        if (lower(extension[i]) != format.name[i - 1])
            return false;
    return format.name[EXTENSION_LENGTH - 1] == '\0';
}

} // namespace

const char* extension_of(const char* name) {
    std::size_t length = std::strlen(name);
    return length < EXTENSION_LENGTH ? nullptr : name + length - EXTENSION_LENGTH;
}

bool same_extension(const char* first, const char* second) {
    const char* a = extension_of(first);
    const char* b = extension_of(second);
    if (a == nullptr || b == nullptr)
        return false;
    for (std::size_t i = 0; i < EXTENSION_LENGTH; ++i)
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

bool named_like_output(const char* name) {
    const std::size_t length = std::strlen(name);
    if (length < 2 * EXTENSION_LENGTH)
        return false;
    const std::string before_extension(name, length - EXTENSION_LENGTH);
    return same_extension(before_extension.c_str(), ".out");
}

bool container_for_name(const char* name, Container& container) {
    container = Container{};
    const char* extension = extension_of(name);
    if (extension == nullptr)
        return false;
    for (const ContainerKind* kind : CONTAINER_KINDS) {
        for (const DiskFormat& format : kind->formats)
            if (names_format(extension, format)) {
                container = Container{kind, &format};
                return true;
            }
        if (kind->matches != nullptr && kind->matches(extension)) {
            container.kind = kind;
            return true;
        }
    }
    return false;
}

const char* container_name(const Container& container) {
    if (container.format != nullptr)
        return container.format->name;
    return container.kind != nullptr ? container.kind->name : "";
}

bool has_directory(const Container& container) {
    return container.kind != nullptr && container.kind->has_directory;
}

} // namespace mog
