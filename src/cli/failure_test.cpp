#include "cli/failure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    const Container prg = *container_for_name("game.prg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<unsigned char> buffer(c.bytes.begin(), c.bytes.end());
        Failure failure = pass_failure(run_pass(prg, buffer, PassRequest{}));
        EXPECT_EQ(failure.status, *c.message == '\0' ? 0 : 2);
        EXPECT_EQ(failure.text(), c.message);
        EXPECT_EQ(failure.with_usage, *c.message != '\0');
    }
}

// A file not found is a command-line error with the usage; any other file
// error is status 3 on its own line.
TEST(Failure, FileErrorsCarryTheirStatusAndWords) {
    struct Case {
        FileError error;
        int status;
        const char* text;
        bool usage;
    };
    const Case cases[] = {
        {{FileStep::find, ENOENT, "a.d64"}, 1, "ERROR: File 'a.d64' not found.", true},
        {{FileStep::read, EISDIR, "d.d64"}, 3, "ERROR: Cannot read file 'd.d64': Is a directory.", false},
        {{FileStep::read, NOT_A_REGULAR_FILE, "f.d64"},
         3,
         "ERROR: Cannot read file 'f.d64': Not a regular file.",
         false},
        {{FileStep::write, ENOSPC, "o.d64"}, 3, "ERROR: Cannot write file 'o.d64': No space left on device.", false},
    };
    for (const auto& c : cases) {
        Failure failure = file_failure(c.error);
        EXPECT_EQ(failure.status, c.status) << c.text;
        EXPECT_EQ(failure.text(), c.text);
        EXPECT_EQ(failure.with_usage, c.usage) << c.text;
    }
}

} // namespace
