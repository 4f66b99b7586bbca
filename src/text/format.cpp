#include "text/format.h"

#include <cstdio>

namespace mog {

std::string formatted_list(const char* format, std::va_list arguments) {
    // Most texts fit the first try; a longer one is formatted again at its size.
    char text[512];
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    std::string result;
    if (length > 0 && static_cast<std::size_t>(length) < sizeof text) {
        result.assign(text, static_cast<std::size_t>(length));
    } else if (length > 0) {
        result.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(result.data(), result.size(), format, again);
        result.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return result;
}

std::string formatted(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::string text = formatted_list(format, arguments);
    va_end(arguments);
    return text;
}

} // namespace mog
