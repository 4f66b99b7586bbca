// Letter case of ASCII names, as file extensions and machine names use it.
#pragma once

#include <string_view>

namespace mog {

inline char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the name is the lower-case one, ignoring the name's letter case.
inline bool same_name_ignoring_case(std::string_view name, std::string_view lower_case) {
    if (name.size() != lower_case.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lower_ascii(name[i]) != lower_case[i])
            return false;
    return true;
}

} // namespace mog
