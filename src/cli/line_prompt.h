// The question for a program's new line number in interactive mode.
#pragma once

#include <cstddef>
#include <string>

#include "cli/console.h"
#include "cli/options.h"
#include "mog/pass.h"

namespace mog {

constexpr long NO_CHANGE = -1;
constexpr std::size_t ANSWER_LINE_SIZE = 256; // 255 characters and a zero byte

// Input that is not a terminal gives at most this many bytes to one answer
// without a line ending: endless input without one must not hang the tool.
constexpr std::size_t MAX_UNENDED_ANSWER = 4096;

// Input that is not a terminal answers one question wrongly at most this many
// times: a stream of wrong answers (yes, say) must not ask forever.
constexpr int MAX_WRONG_ANSWERS = 16;

// Where the answers come from besides standard input.
struct AnswerInput {
    std::string typed_ahead; // keys typed after the overwrite answer, read first
    bool ended = false;      // the input has ended: no further answer is read
};

enum class AnswerKind { no_change, number, negative, too_high, not_a_number };

struct Answer {
    AnswerKind kind;
    long value; // for AnswerKind::number
};

// Judges one input line, its end of line included if it has one.
Answer parse_answer(const char* line, long maximum);

// Prints the question, Commodore text, and reads answers until one is
// acceptable. Gives NO_CHANGE for an empty answer or the end of input,
// otherwise a number from 0 to the maximum. From input that is no terminal,
// an answer of MAX_UNENDED_ANSWER bytes without a line ending counts as the
// end of input, and so does what comes after MAX_WRONG_ANSWERS wrong answers
// to one question.
long ask_line_number(const std::string& question, long maximum, AnswerInput& input,
                     TextOrigin origin = TextOrigin::commodore);

// The decisions of an interactive run: the user answers for each program,
// from the input given.
PassRequest interactive_request(const Options& options, AnswerInput& input);

} // namespace mog
