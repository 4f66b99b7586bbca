// The kinds of file that hold programs, told apart by the name's extension.
#pragma once

#include <string>

#include "image/disk_format.h"

enum class ContainerKind {
    prg,  // one program, its load address first
    p00,  // a PRG behind a 26-byte header
    disk, // a disk image with a directory
    tape, // a T64 tape archive
};

struct Container {
    ContainerKind kind = ContainerKind::prg;
    const DiskFormat* disk = nullptr; // the format of a disk image
};

// Characters of an extension, its dot included.
constexpr int EXTENSION_LENGTH = 4;

// True when both end in the same four characters, ignoring letter case; a
// name shorter than four characters matches nothing.
bool same_extension(const char* first, const char* second);

// The default destination for a source name of at least four characters:
// the name less its extension, then ".out" and the extension in lower case.
std::string default_destination(const char* source);

// The container a name's extension stands for; false for any other name.
bool container_for_name(const char* name, Container& container);

// PRG-like containers (PRG and P00) hold one program and no directory.
bool holds_one_program(const Container& container);
