// The kinds of file that hold Commodore programs, told apart by the name's
// extension.
#pragma once

namespace mog {

struct ContainerKind; // a row of the table of container kinds
struct DiskFormat;    // a row of the table of disk formats

// What a file holds: its kind and, for a disk image, the disk's format.
struct Container {
    const ContainerKind* kind = nullptr;
    const DiskFormat* format = nullptr;
};

// The container a name's extension stands for (letter case ignored); false
// for any other name.
bool container_for_name(const char* name, Container& container);

// The container's short name, as its usual extension without the dot:
// "prg", "p00", "d64", "d71", "d81" or "t64".
const char* container_name(const Container& container);

// True for containers that list their programs in a directory (disk images
// and tapes); false for those that hold one program (PRG and P00 files).
bool has_directory(const Container& container);

} // namespace mog
