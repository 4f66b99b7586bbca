// Text made with printf's formats: the one place that formats.
#pragma once

#include <cstdarg>
#include <string>

namespace mog {

#define MOG_PRINTF_FORMAT(format_index, first_argument) __attribute__((format(printf, format_index, first_argument)))

// The formatted text as a string.
std::string formatted(const char* format, ...) MOG_PRINTF_FORMAT(1, 2);
std::string formatted_list(const char* format, std::va_list arguments);

} // namespace mog
