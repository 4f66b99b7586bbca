// The question for a program's new line number in interactive mode.
#pragma once

#include <cstddef>

#include "cli/console.h"

namespace mog {

constexpr long NO_CHANGE = -1;
constexpr std::size_t ANSWER_LINE_SIZE = 256; // 255 characters and a zero byte

enum class AnswerKind { no_change, number, negative, too_high, not_a_number };

struct Answer {
    AnswerKind kind;
    long value; // for AnswerKind::number
};

// Judges one input line, its end of line included if it has one.
Answer parse_answer(const char* line, long maximum);

// Prints the question, Commodore text, and reads answers until one is
// acceptable. Gives
// NO_CHANGE for an empty answer or the end of input, otherwise a number
// from 0 to the maximum.
long ask_line_number(const char* question, long maximum, TextOrigin origin = TextOrigin::commodore);

} // namespace mog
