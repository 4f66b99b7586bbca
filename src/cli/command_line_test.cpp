#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_options.h"

namespace {

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

TEST(CommandLine, ExtensionsCompareTheLastFourCharactersIgnoringCase) {
    struct Case {
        const char* first;
        const char* second;
        bool same;
    };
    const Case cases[] = {
        {"game.prg", ".prg", true},   {"GAME.PRG", ".prg", true}, {"a.Prg", "b.pRG", true}, {"game.d64", ".prg", false},
        {"game.d64", ".D64", true},   {".prg", ".prg", true},     {"prg", ".prg", false},   {"", ".prg", false},
        {"game.prgx", ".prg", false}, {"a.prg", "b.d64", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(same_extension(c.first, c.second), c.same) << c.first << " " << c.second;
}

// The names point into the arguments, which must outlive the result.
CommandLine walk(const std::vector<std::string>& arguments) {
    static std::vector<std::string> words;
    words = arguments;
    run_options = RunOptions{};
    words.insert(words.begin(), "mog");
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    return walk_arguments(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, WalkSetsOptionsAndNames) {
    CommandLine line = walk({"-a", "x.d64", "-o", "-i", "-n", "-v", "y.d64"});
    EXPECT_STREQ(line.source, "x.d64");
    EXPECT_STREQ(line.destination, "y.d64");
    EXPECT_EQ(run_options.glyph_table, &BLOCK_GLYPH_TABLE);
    EXPECT_TRUE(run_options.raw_output);
    EXPECT_TRUE(run_options.interactive);
    EXPECT_TRUE(run_options.line_number_given);
    EXPECT_FALSE(run_options.view); // -v was the value of -n
    EXPECT_EQ(line.line_number, 0);
    run_options = RunOptions{};
}

TEST(CommandLineDeathTest, BadArgumentsEndWithStatusOne) {
    struct Case {
        std::vector<std::string> words;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"-n"}, "ERROR: Argument after -n missing\\."},
        {{"-n", "70000"}, "ERROR: Bad argument -n out of range\\."},
        {{"-q"}, "ERROR: Unknown option '-q'\\."},
        {{"a.prg", "b.prg", "c.prg"}, "ERROR: Bad argument c\\.prg"},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(walk(c.words), testing::ExitedWithCode(1), c.message);
}

TEST(CommandLineDeathTest, ExamplesEndWithStatusZero) {
    EXPECT_EXIT(walk({"-examples", "-q"}), testing::ExitedWithCode(0), "");
}

} // namespace
