#include "cli/line_prompt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/commodore_text.h"
#include "cli/console.h"
#include "cli/texts.h"
#include "platform/console_key.h"

namespace mog {

namespace {

bool only_end_of_line(const char* line) {
    return line[0] == '\0' || std::strcmp(line, "\n") == 0 || std::strcmp(line, "\r\n") == 0;
}

// The next character of the answer: keys typed ahead first, then standard input.
int next_answer_character(AnswerInput& input) {
    if (input.typed_ahead.empty())
        return std::getchar();
    auto c = static_cast<unsigned char>(input.typed_ahead.front());
    input.typed_ahead.erase(0, 1);
    return c;
}

// Keys typed ahead were read without echo; they show after the question, on
// the terminal, as if typed there.
void show_typed_ahead(const AnswerInput& input) {
    if (input.typed_ahead.empty())
        return;
    if (stream_display(stdout) != Display::bytes)
        say("%s", shown_name(stdout, input.typed_ahead.c_str()).c_str());
    else if (questions_echoed())
        say_error("%s", shown_name(stderr, input.typed_ahead.c_str()).c_str());
    flush_output();
}

// At a terminal an answer ended by Ctrl-D, not Enter, echoes no line ending:
// the question's line ends here, so that the next question starts a line.
void end_question_line() {
    if (on_terminal(stdout))
        say_text("\n");
    if (questions_echoed())
        say_error_text("\n");
}

// Reads one line, keeping at most ANSWER_LINE_SIZE - 1 characters of it; the
// rest of a longer line is read and dropped. Gives false at the end of input.
bool read_answer_line(char* line, AnswerInput& input) {
    std::size_t length = 0, taken = 0;
    const std::size_t limit = stdin_is_console() ? 0 : MAX_UNENDED_ANSWER;
    int c = EOF;
    // Once standard input has ended, every later question is answered alike
    // without waiting for more.
    while (!input.ended && (!input.typed_ahead.empty() || !std::feof(stdin)) &&
           (c = next_answer_character(input)) != EOF) {
        if (length < ANSWER_LINE_SIZE - 1)
            line[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
        if (++taken == limit) {
            input.ended = true;
            length = 0;
        }
    }
    if (c != '\n' && stdin_is_console())
        end_question_line();
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

long ask_line_number(const std::string& question, long maximum, AnswerInput& input, TextOrigin origin) {
    char line[ANSWER_LINE_SIZE];
    for (int wrong = 0;; ++wrong) {
        if (wrong == MAX_WRONG_ANSWERS && !stdin_is_console())
            input.ended = true;
        ask(question, origin);
        show_typed_ahead(input);
        if (!read_answer_line(line, input))
            return NO_CHANGE;
        Answer answer = parse_answer(line, maximum);
        switch (answer.kind) {
        case AnswerKind::no_change:
            return NO_CHANGE;
        case AnswerKind::number:
            return answer.value;
        case AnswerKind::negative:
            ask(TEXT_NEGATIVE_ANSWER);
            break;
        case AnswerKind::too_high:
            ask(TEXT_TOO_HIGH_ANSWER);
            break;
        case AnswerKind::not_a_number:
            ask(TEXT_INVALID_ANSWER);
            break;
        }
    }
}

PassRequest interactive_request(const Options& options, AnswerInput& input) {
    PassRequest request;
    request.basic_starts = options.basic_starts;
    request.ask = [&options, &input](const ProgramRecord& program) {
        // Code page 850 text is shown as each stream shows it; Unicode text
        // is shown as it is.
        const std::span<const unsigned char> name = program.name_field();
        const bool unicode = options.style.characters == TextStyle::Characters::unicode;
        const std::string shown_name =
            unicode ? unicode_text(name, options.style) : convert_petscii_string(name, options.style.petscii());
        const long answer =
            ask_line_number(formatted(TEXT_QUESTION, shown_name.c_str(), static_cast<int>(program.line)),
                            MAX_LINE_NUMBER, input, unicode ? TextOrigin::tool : TextOrigin::commodore);
        return answer == NO_CHANGE ? Decision{Action::keep} : Decision{Action::set, static_cast<unsigned>(answer)};
    };
    return request;
}

} // namespace mog
