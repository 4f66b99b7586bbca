#include "basic/prg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_options.h"

namespace {

TEST(PrgDeathTest, UnexpectedStartLinesEndWithStatusTwo) {
    struct Case {
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {std::string("\x01\x1c\x0b\x08\x0a\x00\x9e", 7), "ERR: Unexpected startadress 1c01!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00\x99", 7), "ERR: No SYS command where expected!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00", 6), "ERR: No SYS command where expected!"},
        {std::string(), "ERR: No SYS command where expected!"},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> buffer(c.bytes.begin(), c.bytes.end());
        EXPECT_EXIT(handle_prg(buffer.data(), buffer.size(), "/nonexistent/out.prg", 1), testing::ExitedWithCode(2),
                    c.message);
    }
}

TEST(Prg, ViewWritesNothing) {
    RunOptions saved = run_options;
    run_options.view = true;
    std::string bytes("\x01\x08\x0b\x08\x0a\x00\x9e"
                      "2061\0",
                      12);
    std::vector<unsigned char> buffer(bytes.begin(), bytes.end());
    testing::internal::CaptureStdout();
    EXPECT_EQ(handle_prg(buffer.data(), buffer.size(), "/nonexistent/out.prg", 5), 0);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "10 SYS2061\n");
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), bytes);
    run_options = saved;
}

} // namespace
