#include "cli/line_prompt.h"

#include <gtest/gtest.h>

namespace {

using namespace mog;

TEST(LinePrompt, ParsesAnswersLikeStrtol) {
    struct Case {
        const char* line;
        AnswerKind kind;
        long value;
    };
    const Case cases[] = {
        {"\n", AnswerKind::no_change, NO_CHANGE}, {"\r\n", AnswerKind::no_change, NO_CHANGE},
        {"", AnswerKind::no_change, NO_CHANGE},   {"5", AnswerKind::number, 5},
        {"5\n", AnswerKind::number, 5},           {"  42\r\n", AnswerKind::number, 42},
        {"+9\n", AnswerKind::number, 9},          {"0\n", AnswerKind::number, 0},
        {"65535\n", AnswerKind::number, 65535},   {"12ab\n", AnswerKind::number, 12},
        {"65536\n", AnswerKind::too_high, 65536}, {"99999999999999999999999\n", AnswerKind::too_high, 0},
        {"-1\n", AnswerKind::negative, -1},       {"-99999999999999999999999\n", AnswerKind::negative, 0},
        {"abc\n", AnswerKind::not_a_number, 0},   {" \n", AnswerKind::not_a_number, 0},
        {"\r", AnswerKind::not_a_number, 0},      {"-\n", AnswerKind::not_a_number, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Answer answer = parse_answer(c.line, 65535);
        EXPECT_EQ(answer.kind, c.kind);
        if (c.kind == AnswerKind::number || c.kind == AnswerKind::no_change) {
            EXPECT_EQ(answer.value, c.value);
        }
    }
}

} // namespace
