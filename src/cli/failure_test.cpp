#include "cli/failure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/container.h"

namespace {

using namespace mog;

// A PRG whose start line is missing or loads elsewhere fails with status 2;
// the token is looked at before the load address.
TEST(Failure, UnexpectedStartLinesFailWithStatusTwo) {
    struct Case {
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {std::string("\x01\x1c\x0b\x08\x0a\x00\x9e", 7), "ERR: Unexpected startadress 1c01!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00\x99", 7), "ERR: No SYS command where expected!"},
        {std::string("\x00\x1c\x0b\x08\x0a\x00\x99", 7), "ERR: No SYS command where expected!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00", 6), "ERR: No SYS command where expected!"},
        {std::string(), "ERR: No SYS command where expected!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00\x9e", 7), ""},
    };
    Container prg;
    ASSERT_TRUE(container_for_name("game.prg", prg));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<unsigned char> buffer(c.bytes.begin(), c.bytes.end());
        Failure failure = pass_failure(run_pass(prg, buffer.data(), buffer.size(), PassRequest{}));
        EXPECT_EQ(failure.status, *c.message == '\0' ? 0 : 2);
        EXPECT_EQ(failure.message, c.message);
        EXPECT_EQ(failure.with_usage, *c.message != '\0');
    }
}

} // namespace
