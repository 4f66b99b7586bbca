// A line number given as text, as the tool's -n, the web page and the CI
// action take it: one rule for every front end.
#pragma once

#include <string_view>

namespace mog {

enum class LineNumberText { number, not_a_number, negative, too_high };

struct ParsedLineNumber {
    LineNumberText outcome;
    unsigned number = 0; // for LineNumberText::number: 0 to MAX_LINE_NUMBER (mog/pass.h)
};

// The text is a number when it holds optional leading white space, an
// optional sign and decimal digits, and nothing else ("-0" and "+0" are 0,
// as atoi gives them). A number below 0 is negative, one above
// MAX_LINE_NUMBER too high, however many digits it has.
ParsedLineNumber parse_line_number(std::string_view text);

} // namespace mog
