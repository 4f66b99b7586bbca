// Answers to the line-number question: any line, and any input stream.
#include <algorithm>
#include <cstring>
#include <string>

#include "cli/line_prompt.h"
#include "harness.h"

using namespace mog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr long MAXIMUM = 65535;
    std::string line(reinterpret_cast<const char*>(data), size);
    Answer answer = parse_answer(line.c_str(), MAXIMUM);
    if (answer.kind == AnswerKind::number)
        FUZZ_CHECK(answer.value >= 0 && answer.value <= MAXIMUM);
    if (answer.kind == AnswerKind::no_change)
        FUZZ_CHECK(answer.value == NO_CHANGE);

    // Every question takes at least one line, so once the lines are used up
    // the answer is no change, and asking ends.
    start_run(data, size);
    AnswerInput input;
    std::size_t lines = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\n'));
    if (size > 0 && data[size - 1] != '\n')
        ++lines;
    for (std::size_t i = 0; i < lines; ++i) {
        long value = ask_line_number("NAME (10): ", MAXIMUM, input);
        FUZZ_CHECK(value == NO_CHANGE || (value >= 0 && value <= MAXIMUM));
    }
    FUZZ_CHECK(ask_line_number("LAST (1): ", MAXIMUM, input) == NO_CHANGE);
    return 0;
}
