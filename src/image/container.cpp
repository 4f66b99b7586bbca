#include "image/container.h"

#include "image/container_kind.h"

namespace mog {

namespace {

// True when the extension is a dot and the format's name, ignoring case.
bool names_format(std::string_view extension, const DiskFormat& format) {
    return extension[0] == '.' && same_name_ignoring_case(extension.substr(1), format.name);
}

} // namespace

std::string_view extension_of(std::string_view name) {
    return name.size() < EXTENSION_LENGTH ? std::string_view() : name.substr(name.size() - EXTENSION_LENGTH);
}

bool same_extension(std::string_view first, std::string_view second) {
    std::string_view a = extension_of(first);
    std::string_view b = extension_of(second);
    if (a.empty() || b.empty())
        return false;
    for (std::size_t i = 0; i < EXTENSION_LENGTH; ++i)
        if (lower_ascii(a[i]) != lower_ascii(b[i]))
            return false;
    return true;
}

std::optional<Container> container_for_name(std::string_view name) {
    std::string_view extension = extension_of(name);
    if (extension.empty())
        return std::nullopt;
    for (const ContainerKind* kind : CONTAINER_KINDS) {
        for (const DiskFormat& format : kind->formats)
            if (names_format(extension, format))
                return Container{kind, &format};
        if (kind->matches != nullptr && kind->matches(extension))
            return Container{kind, nullptr};
    }
    return std::nullopt;
}

std::optional<Container> container_named(std::string_view name) {
    for (const Container& container : every_container())
        if (same_name_ignoring_case(name, container_name(container)))
            return container;
    return std::nullopt;
}

std::vector<Container> every_container() {
    std::vector<Container> containers;
    for (const ContainerKind* kind : CONTAINER_KINDS) {
        for (const DiskFormat& format : kind->formats)
            containers.push_back(Container{kind, &format});
        if (kind->formats.empty())
            containers.push_back(Container{kind, nullptr});
    }
    return containers;
}

std::string_view container_name(const Container& container) {
    if (container.format != nullptr)
        return container.format->name;
    return container.kind != nullptr ? container.kind->name : "";
}

bool has_directory(const Container& container) {
    return container.kind != nullptr && container.kind->has_directory;
}

std::size_t standard_size(const Container& container) {
    return container.format != nullptr ? container.format->standard_size : 0;
}

bool known_layout(const Container& container, std::size_t size) {
    const DiskFormat* format = container.format;
    if (format == nullptr)
        return false;
    auto with_error_bytes = [](std::size_t bytes) { return bytes + bytes / SECTOR_SIZE; };
    const std::size_t larger = image_size(*format);
    return size == format->standard_size || size == with_error_bytes(format->standard_size) ||
           (larger != format->standard_size && (size == larger || size == with_error_bytes(larger)));
}

} // namespace mog
