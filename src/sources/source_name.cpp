// What a name stands for: a container, an archive of them, a Zip-Code set.
#include "mog/sources.h"

#include "image/container.h"
#include "image/container_kind.h"
#include "sources/zipcode_set.h"

namespace mog {

namespace {

constexpr std::string_view ZIP_EXTENSION = ".zip";
constexpr std::string_view GZIP_EXTENSION = ".gz";

bool ends_with_ignoring_case(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() && same_name_ignoring_case(name.substr(name.size() - ending.size()), ending);
}

} // namespace

std::optional<SourceName> source_for_name(std::string_view name) {
    if (std::optional<Container> container = container_for_name(name))
        return SourceName{SourceKind::container, container};
    if (ends_with_ignoring_case(name, ZIP_EXTENSION))
        return SourceName{SourceKind::zip, std::nullopt};
    if (ends_with_ignoring_case(name, GZIP_EXTENSION)) {
        std::optional<Container> inner = container_for_name(name.substr(0, name.size() - GZIP_EXTENSION.size()));
        return inner ? std::optional(SourceName{SourceKind::gzip, inner}) : std::nullopt;
    }
    if (zipcode_part_number(name) != 0)
        return SourceName{SourceKind::zipcode, Container{&DISK_CONTAINER, &D64}};
    return std::nullopt;
}

} // namespace mog
