// Files that hold containers: a container file itself, a zip of container
// files, a gzip of one, or a Zip-Code set of four files that holds a disk.
#pragma once

#include <optional>
#include <string_view>

#include "mog/container.h"

namespace mog {

enum class SourceKind {
    container, // a PRG, P00, D64, D71, D81 or T64 file
    zip,       // members in any folder inside it, of the kinds mog reads
    gzip,      // one file inside, of the kind its name less ".gz" says
    zipcode,   // 1!NAME to 4!NAME: one D64 disk
};

struct SourceName {
    SourceKind kind = SourceKind::container;
    // The container of a container file, of a gzip's one file, and the D64
    // of a Zip-Code set; none for a zip, whose members each have their own.
    std::optional<Container> container;
};

// What a name stands for, from its ending (letter case ignored): ".zip";
// ".gz" after a container's name (game.d64.gz); a part name 1!NAME to 4!NAME
// that is no container's name; a container's name. Nothing for any other.
std::optional<SourceName> source_for_name(std::string_view name);

} // namespace mog
