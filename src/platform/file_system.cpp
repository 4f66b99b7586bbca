#include "platform/file_system.h"

namespace mog {

Place Place::sibling(std::string other_name) const {
    if (folder)
        return Place{folder, std::move(other_name)};
    const std::string::size_type slash = name.find_last_of("/");
    return Place{nullptr, slash == std::string::npos ? other_name : name.substr(0, slash + 1) + other_name};
}

} // namespace mog
