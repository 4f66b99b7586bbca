#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basic/machines.h"
#include "cli/failure.h"

namespace {

using namespace mog;

TEST(CommandLine, LineNumberConvertsLikeAtoiWithoutOverflow) {
    struct Case {
        const char* text;
        long value;
    };
    const Case cases[] = {
        {"2020", 2020},
        {"65535", 65535},
        {"65536", 65536},
        {"-1", -1},
        {"abc", 0},
        {"", 0},
        {"-v", 0},
        {" \t\n42", 42},
        {"+8", 8},
        {"12x34", 12},
        {"- 5", 0},
        {"99999999999999999999999999", 99999},
        {"-99999999999999999999999999", -99999},
        {"0000000000000000000000000001", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_line_number(c.text), c.value) << c.text;
}

// The names point into the arguments, which must outlive the result.
CommandLine walk(const std::vector<std::string>& arguments) {
    static std::vector<std::string> words;
    words = arguments;
    words.insert(words.begin(), "mog");
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    return walk_arguments(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, WalkSetsOptionsAndNames) {
    CommandLine line = walk({"-a", "x.d64", "-o", "-i", "-n", "-v", "y.d64"});
    const RunOptions& options = line.options;
    EXPECT_STREQ(options.source, "x.d64");
    EXPECT_EQ(options.destination, "y.d64");
    EXPECT_EQ(options.petscii.table, &BLOCK_GLYPH_TABLE);
    EXPECT_TRUE(options.petscii.raw);
    EXPECT_TRUE(options.interactive);
    EXPECT_TRUE(options.line_number_given);
    EXPECT_FALSE(options.view); // -v was the value of -n
    EXPECT_EQ(options.line_number, 0);
    EXPECT_EQ(line.error, CommandLineError::none);
}

TEST(CommandLine, BadArgumentsFailWithStatusOneAndTheUsage) {
    struct Case {
        std::vector<std::string> words;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"-n"}, "ERROR: Argument after -n missing."},
        {{"-n", "70000"}, "ERROR: Bad argument -n out of range."},
        {{"-n", "655350"}, "ERROR: Bad argument -n out of range."},
        {{"-q"}, "ERROR: Unknown option '-q'."},
        {{"a.prg", "b.prg", "c.prg"}, "ERROR: Bad argument c.prg"},
        {{"--machine"}, "ERROR: Argument after --machine missing."},
        {{"--machine", "c64,,c128"}, "ERROR: Unknown machine '' for --machine (valid: " + machine_names() + ")."},
        {{"--machine", "vic-20", "a.prg"},
         "ERROR: Unknown machine 'vic-20' for --machine (valid: " + machine_names() + ")."},
    };
    for (const auto& c : cases) {
        Failure failure = command_line_failure(walk(c.words));
        EXPECT_EQ(failure.status, 1);
        EXPECT_EQ(failure.message, c.message);
        EXPECT_TRUE(failure.with_usage);
    }
}

// Options that ask for opposite things fail after the walk, naming both.
TEST(CommandLine, ConflictingOptionsFailNamingBoth) {
    struct Case {
        std::vector<std::string> words;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"-i", "--json", "x.d64"}, "ERROR: Options -i and --json don't go together."},
        {{"--check", "-i", "x.d64"}, "ERROR: Options -i and --check don't go together."},
        {{"--check", "-v", "x.d64"}, "ERROR: Options -v and --check don't go together."},
        {{"-o", "--unicode", "x.d64"}, "ERROR: Options -o and --unicode don't go together."},
        {{"--check", "x.d64", "y.d64"}, "ERROR: Bad argument y.d64"},
        {{"-v", "-i", "--json", "x.d64"}, "ERROR: Modes -v and -i don't go together.'."},
        {{"--json", "--unicode", "--check", "x.d64"}, ""},
    };
    for (const auto& c : cases) {
        CommandLine line = walk(c.words);
        check_command_line(line);
        Failure failure = command_line_failure(line);
        EXPECT_EQ(failure.message, c.message);
        EXPECT_EQ(failure.status, *c.message == '\0' ? 0 : 1);
    }
}

TEST(CommandLine, LaterMachineListReplacesEarlier) {
    EXPECT_EQ(walk({"--machine", "all", "--machine", "PET"}).options.basic_starts, std::vector<unsigned>{0x0401});
    EXPECT_EQ(walk({"x.d64"}).options.basic_starts, std::vector<unsigned>{0x0801});
}

TEST(CommandLine, ExamplesStopTheWalk) {
    CommandLine line = walk({"-examples", "-q"});
    EXPECT_EQ(line.request, Request::examples);
    EXPECT_EQ(line.error, CommandLineError::none);
}

} // namespace
