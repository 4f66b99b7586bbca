// The kinds of file that hold Commodore programs, told apart by the name's
// extension.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace mog {

struct ContainerKind; // a row of the table of container kinds
struct DiskFormat;    // a row of the table of disk formats

// What a file holds: its kind and, for a disk image, the disk's format. A
// default Container is no kind at all: nothing walks it.
struct Container {
    const ContainerKind* kind = nullptr;
    const DiskFormat* format = nullptr;

    bool operator==(const Container&) const = default;
};

// The container a name's extension stands for (letter case ignored);
// nothing for any other name.
std::optional<Container> container_for_name(std::string_view name);
std::optional<Container> container_for_name(std::nullptr_t) = delete;

// The container of the given short name ("prg", "p00", "d64", "d71", "d81",
// "t64" or "lnx", letter case ignored); nothing for any other.
std::optional<Container> container_named(std::string_view name);
std::optional<Container> container_named(std::nullptr_t) = delete;

// Every container, in the order the help lists them.
std::vector<Container> every_container();

// The container's short name, as its usual extension without the dot:
// "prg", "p00", "d64", "d71", "d81", "t64" or "lnx"; empty for no kind.
std::string_view container_name(const Container& container);

// True for containers that list their programs in a directory (disk images,
// tapes and Lynx archives); false for those that hold one program (PRG and
// P00 files).
bool has_directory(const Container& container);

// The size of a disk image without error bytes; 0 for other containers.
std::size_t standard_size(const Container& container);

// True when a disk image of this size is whole although it is not of the
// standard size: the standard tracks with one error byte per sector, or
// the larger 40-track layout of the 1541 with or without them.
bool known_layout(const Container& container, std::size_t size);

} // namespace mog
