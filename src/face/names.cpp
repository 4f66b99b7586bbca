#include "mog/names.h"

#include "image/container.h"
#include "mog/sources.h"
#include "sources/zipcode_set.h"

namespace mog {

namespace {

constexpr std::string_view OUT = ".out";
constexpr std::size_t GZIP_EXTENSION_LENGTH = 3; // ".gz"

// Where the extension of a Zip-Code part's name begins ("1!Game.z64"), or
// its end when it has none ("1!zc").
std::size_t part_extension(std::string_view part) {
    const std::size_t name_starts = part.find_last_of("/\\") + 1; // npos + 1 is 0
    const std::size_t dot = part.rfind('.');
    return dot == std::string_view::npos || dot < name_starts + 2 ? part.size() : dot;
}

bool ends_with_out(std::string_view name) {
    return name.size() >= OUT.size() && same_name_ignoring_case(name.substr(name.size() - OUT.size()), OUT);
}

// A part of a Zip-Code set names no kind: ".out" goes before the extension
// of its name, or at its end when it has none.
std::string part_destination(std::string_view part) {
    const std::size_t extension = part_extension(part);
    return std::string(part.substr(0, extension)) + std::string(OUT) + std::string(part.substr(extension));
}

std::string lower_case(std::string_view text) {
    std::string lower;
    for (char c : text)
        lower += lower_ascii(c);
    return lower;
}

} // namespace

std::string default_destination(std::string_view source) {
    const std::optional<SourceName> kind = source_for_name(source);
    if (kind && kind->kind == SourceKind::zipcode)
        return part_destination(source);
    if (kind && kind->kind == SourceKind::gzip)
        return default_destination(source.substr(0, source.size() - GZIP_EXTENSION_LENGTH)) +
               lower_case(source.substr(source.size() - GZIP_EXTENSION_LENGTH));
    const std::string_view extension = extension_of(source);
    return std::string(source.substr(0, source.size() - extension.size())) + std::string(OUT) + lower_case(extension);
}

bool named_like_output(std::string_view name) {
    const std::optional<SourceName> kind = source_for_name(name);
    if (kind && kind->kind == SourceKind::zipcode)
        return ends_with_out(name) || ends_with_out(name.substr(0, part_extension(name)));
    if (kind && kind->kind == SourceKind::gzip)
        name.remove_suffix(GZIP_EXTENSION_LENGTH);
    if (name.size() < 2 * EXTENSION_LENGTH)
        return false;
    return same_extension(name.substr(0, name.size() - EXTENSION_LENGTH), OUT);
}

} // namespace mog
