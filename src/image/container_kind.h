// The table of container kinds: each kind is one row, with the walk that
// yields its programs. A new kind takes a walk file and a row here.
#pragma once

#include <span>
#include <string_view>

#include "image/disk_format.h"
#include "image/walk_state.h"

namespace mog {

struct ContainerKind {
    const char* name;                            // the kind's usual extension without its dot
    bool (*matches)(std::string_view extension); // the last four characters of a name, dot included
    std::span<const DiskFormat> formats;         // disk images: one extension per format instead
    const char* help_extensions;                 // as the help names them, unless formats do
    const char* help_text;
    bool has_directory;
    // Sets the walk up and notes what is wrong at once; the walk's
    // container, bytes and size are set.
    void (*start)(WalkState& walk);
    // Fills in the next program but its index, or gives false at the end.
    bool (*next)(WalkState& walk, Program& program);
    // Copies bytes of a program's file from the offset on, as a PRG file
    // holds it; gives the bytes copied.
    std::size_t (*read_file)(const WalkState& walk, const Program& program, std::size_t offset,
                             std::span<unsigned char> into);
};

extern const ContainerKind PRG_CONTAINER;
extern const ContainerKind P00_CONTAINER;
extern const ContainerKind DISK_CONTAINER;
extern const ContainerKind TAPE_CONTAINER;
extern const ContainerKind LYNX_CONTAINER;

// Every kind, in the order the help lists them.
inline constexpr const ContainerKind* CONTAINER_KINDS[] = {&PRG_CONTAINER, &P00_CONTAINER, &DISK_CONTAINER,
                                                           &TAPE_CONTAINER, &LYNX_CONTAINER};

} // namespace mog
