#include "cli/line_prompt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/console.h"

namespace mog {

namespace {

bool only_end_of_line(const char* line) {
    return line[0] == '\0' || std::strcmp(line, "\n") == 0 || std::strcmp(line, "\r\n") == 0;
}

// Reads one line, keeping at most ANSWER_LINE_SIZE - 1 characters of it; the
// rest of a longer line is read and dropped. Gives false at the end of input.
bool read_answer_line(char* line) {
    std::size_t length = 0;
    int c = EOF;
    // Once standard input has ended, every later question is answered alike
    // without waiting for more.
    while (!std::feof(stdin) && (c = std::getchar()) != EOF) {
        if (length < ANSWER_LINE_SIZE - 1)
            line[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    line[length] = '\0';
    return length > 0;
}

} // namespace

Answer parse_answer(const char* line, long maximum) {
    if (only_end_of_line(line))
        return {AnswerKind::no_change, NO_CHANGE};
    char* end = nullptr;
    long value = std::strtol(line, &end, 10);
    if (value < 0)
        return {AnswerKind::negative, value};
    if (value > maximum)
        return {AnswerKind::too_high, value};
    if (end == line)
        return {AnswerKind::not_a_number, value};
    return {AnswerKind::number, value};
}

long ask_line_number(const char* question, long maximum, TextOrigin origin) {
    char line[ANSWER_LINE_SIZE];
    for (;;) {
        ask(question, origin);
        if (!read_answer_line(line))
            return NO_CHANGE;
        Answer answer = parse_answer(line, maximum);
        switch (answer.kind) {
        case AnswerKind::no_change:
            return NO_CHANGE;
        case AnswerKind::number:
            return answer.value;
        case AnswerKind::negative:
            ask("Invalid input (no negativ numbers allowed).\n");
            break;
        case AnswerKind::too_high:
            ask("Invalid input (too high).\n");
            break;
        case AnswerKind::not_a_number:
            ask("Invalid input.\n");
            break;
        }
    }
}

} // namespace mog
