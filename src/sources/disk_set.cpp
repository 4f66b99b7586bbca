// Zip-Code sets for every front end: the disk a set holds, and its parts
// written back with only the changed sectors coded again.
#include "mog/sources.h"
#include "sources/zipcode_set.h"

namespace mog {

struct DiskSetLayout {
    ZipcodeDisk disk; // as decoded: each sector's record, and the disk before any change
};

DiskSet open_disk_set(const DiskSetParts& parts, const std::array<std::string, 4>& names) {
    DiskSet set;
    ZipcodeDecoded decoded = decode_zipcode_set(parts);
    if (decoded.problem) {
        set.error = describe_zipcode_problem(*decoded.problem, names[static_cast<std::size_t>(decoded.problem->part - 1)]);
        return set;
    }
    set.disk.assign(decoded.disk.image.begin(), decoded.disk.image.end());
    auto layout = std::make_shared<DiskSetLayout>();
    layout->disk = std::move(decoded.disk);
    set.layout = std::move(layout);
    return set;
}

std::array<std::optional<Bytes>, 4> rewrite_disk_set(const DiskSet& set, const DiskSetParts& parts,
                                                     std::span<const unsigned char> disk) {
    std::array<std::optional<Bytes>, 4> rewritten;
    if (!set.layout)
        return rewritten;
    const std::vector<int> changed = differing_sectors(set.layout->disk.image, disk);
    const auto coded = encode_changed(parts, set.layout->disk, disk, changed);
    for (std::size_t k = 0; k < coded.size(); ++k)
        if (coded[k])
            rewritten[k] = Bytes(coded[k]->begin(), coded[k]->end());
    return rewritten;
}

std::string disk_set_part(std::string_view path, int part) {
    return zipcode_part_path(path, part);
}

int disk_set_part_number(std::string_view path) {
    return zipcode_part_number(path);
}

} // namespace mog
