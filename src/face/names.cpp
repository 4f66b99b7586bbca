#include "mog/names.h"

#include "image/container.h"

namespace mog {

std::string default_destination(std::string_view source) {
    const std::string_view extension = extension_of(source);
    std::string name(source.substr(0, source.size() - extension.size()));
    name += ".out";
    for (char c : extension)
        name += lower_ascii(c);
    return name;
}

bool named_like_output(std::string_view name) {
    if (name.size() < 2 * EXTENSION_LENGTH)
        return false;
    return same_extension(name.substr(0, name.size() - EXTENSION_LENGTH), ".out");
}

} // namespace mog
