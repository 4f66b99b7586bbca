#include "mog/line_number.h"

#include <algorithm>

#include "mog/pass.h"

namespace mog {

ParsedLineNumber parse_line_number(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    text.remove_prefix(start == std::string_view::npos ? text.size() : start);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return {LineNumberText::not_a_number};
    unsigned long value = 0;
    for (char digit : text) // past the range, more digits change nothing
        value = std::min(value * 10 + static_cast<unsigned long>(digit - '0'), MAX_LINE_NUMBER + 1ul);
    if (negative && value != 0)
        return {LineNumberText::negative};
    if (value > MAX_LINE_NUMBER)
        return {LineNumberText::too_high};
    return {LineNumberText::number, static_cast<unsigned>(value)};
}

} // namespace mog
