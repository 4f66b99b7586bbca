#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace mog;

int year_of_the_run() {
    return 1984;
}

CommandLine read(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = arguments;
    words.insert(words.begin(), "mog");
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    return read_command_line(static_cast<int>(argv.size()), argv.data(), year_of_the_run);
}

Failure first_failure(const CommandLine& line) {
    return line.walk_failure.failed() ? line.walk_failure : line.check_failure;
}

// The value of -n, apart or attached, is white space, a sign and digits,
// nothing else; a number outside 0 to 65535 is out of range.
TEST(CommandLine, LineNumberIsANumberOrFails) {
    struct Case {
        std::vector<std::string> words;
        long number;              // -1: refused
        const char* not_a_number; // the value the message quotes; null: out of range
    };
    const std::vector<Case> cases = {
        {{"-n", "2026"}, 2026, nullptr},
        {{"-n", " 2026"}, 2026, nullptr},
        {{"-n", " \t\n+2026"}, 2026, nullptr},
        {{"-n", "-0"}, 0, nullptr},
        {{"-n", "+0"}, 0, nullptr},
        {{"-n", "0000000000000000000000000001"}, 1, nullptr},
        {{"-n", "65535"}, 65535, nullptr},
        {{"-yn-0"}, 0, nullptr},
        {{"-n", "65536"}, -1, nullptr},
        {{"-n65536"}, -1, nullptr},
        {{"-n", "-1"}, -1, nullptr},
        {{"-n", "99999999999999999999999999"}, -1, nullptr},
        {{"-n", "-99999999999999999999999999"}, -1, nullptr},
        {{"-n", "2O26"}, -1, "2O26"},
        {{"-n", "abc"}, -1, "abc"},
        {{"-n", ""}, -1, ""},
        {{"-n", "0x10"}, -1, "0x10"},
        {{"-n", "1e3"}, -1, "1e3"},
        {{"-n", "12abc"}, -1, "12abc"},
        {{"-n", "-y"}, -1, "-y"},
        {{"-n", "2026 "}, -1, "2026 "},
        {{"-n", "- 5"}, -1, "- 5"},
        {{"-n", "+"}, -1, "+"},
        {{"-n2O26"}, -1, "2O26"},
        {{"-vn5y"}, -1, "5y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        std::vector<std::string> words = c.words;
        words.push_back("x.prg");
        CommandLine line = read(words);
        if (c.number >= 0) {
            EXPECT_FALSE(first_failure(line).failed()) << first_failure(line).text();
            EXPECT_EQ(line.options.line_number, static_cast<unsigned>(c.number));
            continue;
        }
        EXPECT_EQ(line.walk_failure.text(),
                  c.not_a_number == nullptr
                      ? "ERROR: Bad argument -n out of range."
                      : "ERROR: Bad argument -n '" + std::string(c.not_a_number) + "' is not a number.");
        EXPECT_EQ(line.walk_failure.status, 1);
        EXPECT_TRUE(line.walk_failure.with_usage);
    }
}

TEST(CommandLine, WalkSetsOptionsAndNames) {
    CommandLine line = read({"-a", "x.d64", "-o", "-i", "-n", "+0", "y.d64"});
    const Options& options = line.options;
    EXPECT_EQ(line.target.source, "x.d64");
    EXPECT_EQ(line.target.destination, "y.d64");
    EXPECT_TRUE(options.style.full_blocks);
    EXPECT_EQ(options.style.characters, TextStyle::Characters::raw);
    EXPECT_EQ(options.mode, Mode::interactive);
    EXPECT_TRUE(options.line_number_given);
    EXPECT_EQ(options.line_number, 0u);
    EXPECT_FALSE(first_failure(line).failed());
}

// Without -n the year is the number; a destination is derived where the run
// writes, and not in a view or a check.
TEST(CommandLine, TheYearAndTheDestinationAreSettledOnce) {
    struct Case {
        std::vector<std::string> words;
        unsigned line_number;
        const char* destination;
        bool derived;
    };
    const std::vector<Case> cases = {
        {{"game.D64"}, 1984, "game.out.d64", true},
        {{"-n", "7", "game.prg"}, 7, "game.out.prg", true},
        {{"-v", "game.d64"}, 1984, nullptr, false},
        {{"--check", "game.d64"}, 1984, nullptr, false},
        {{"-n2026", "game.t64", "b.T64"}, 2026, "b.T64", false},
        {{"-v", "game.t64", "b.d81"}, 1984, "b.d81", false},
    };
    for (const auto& c : cases) {
        CommandLine line = read(c.words);
        ASSERT_FALSE(first_failure(line).failed()) << c.words[0];
        EXPECT_EQ(line.options.line_number, c.line_number);
        EXPECT_EQ(line.target.destination.has_value(), c.destination != nullptr);
        if (c.destination != nullptr) {
            EXPECT_EQ(*line.target.destination, c.destination);
        }
        EXPECT_EQ(line.target.destination_derived, c.derived);
    }
}

TEST(CommandLine, BadArgumentsFailWithStatusOneAndTheUsage) {
    const std::string machines = "c64, c128, vic20, plus4, pet, mega65, all";
    struct Case {
        std::vector<std::string> words;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"-n"}, "ERROR: Argument after -n missing."},
        {{"-vn"}, "ERROR: Argument after -n missing."},
        {{"-x"}, "ERROR: Unknown option '-x'."},
        {{"-example"}, "ERROR: Unknown option '-example'."},
        {{"-vx"}, "ERROR: Unknown option '-vx'."},
        {{"--json=1"}, "ERROR: Unknown option '--json=1'."},
        {{"-"}, "ERROR: Unknown option '-'."},
        {{"a.prg", "b.prg", "c.prg"}, "ERROR: Bad argument c.prg"},
        {{"--machine"}, "ERROR: Argument after --machine missing."},
        {{"--machine", "c64,,c128"}, "ERROR: Unknown machine '' for --machine (valid: " + machines + ")."},
        {{"--machine=vic-20", "a.prg"}, "ERROR: Unknown machine 'vic-20' for --machine (valid: " + machines + ")."},
        {{"--machine="}, "ERROR: Unknown machine '' for --machine (valid: " + machines + ")."},
        {{}, "ERROR: No source file given."},
        {{"--batch"}, "ERROR: No source file given."},
        {{"a.txt"}, "Unknown extension of source file."},
        {{"a.prg", "b.d64"}, "ERR: File extensions must match."},
        {{"-i", "a.prg"}, "ERROR: No interactive mode for .prg files.'."},
        {{"-i", "a.p07"}, "ERROR: No interactive mode for .p00 files."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Failure failure = first_failure(read(c.words));
        EXPECT_EQ(failure.status, 1);
        EXPECT_EQ(failure.text(), c.message);
        EXPECT_TRUE(failure.with_usage);
    }
}

// Options that ask for opposite things fail after the walk, naming both, in
// the order of their table.
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
        {{"-i", "--in-place", "x.d64"}, "ERROR: Options -i and --in-place don't go together."},
        {{"-i", "--batch", "x.d64"}, "ERROR: Options -i and --batch don't go together."},
        {{"-v", "--in-place", "x.d64"}, "ERROR: Options -v and --in-place don't go together."},
        {{"--check", "--in-place", "x.d64"}, "ERROR: Options --check and --in-place don't go together."},
        {{"--check", "x.d64", "y.d64"}, "ERROR: Bad argument y.d64"},
        {{"-v", "-i", "--json", "x.d64"}, "ERROR: Modes -v and -i don't go together.'."},
        {{"-vi", "-n", "5", "x.d64"}, "ERROR: Modes -v and -i don't go together.'."},
        {{"-n", "5", "-v", "x.d64"}, "ERROR: Modes -v and -n don't go together.'."},
        {{"--json", "--unicode", "--check", "x.d64"}, ""},
    };
    for (const auto& c : cases) {
        Failure failure = first_failure(read(c.words));
        EXPECT_EQ(failure.text(), c.message);
        EXPECT_EQ(failure.status, *c.message == '\0' ? 0 : 1) << c.message;
    }
}

// Every newer spelling means what the older one does.
TEST(CommandLine, BundledLettersAndAttachedValuesMeanTheSame) {
    struct Case {
        std::vector<std::string> words;
        Mode mode;
        bool yes, quiet, blocks;
        unsigned line_number;
    };
    const std::vector<Case> cases = {
        {{"-vy", "x.d64"}, Mode::view, true, false, false, 1984},
        {{"-ay", "-n", "9", "x.d64"}, Mode::rewrite, true, false, true, 9},
        {{"-yn", "2026", "x.d64"}, Mode::rewrite, true, false, false, 2026},
        {{"-qan12", "x.d64"}, Mode::rewrite, false, true, true, 12},
        {{"--quiet", "-i", "x.d64"}, Mode::interactive, false, true, false, 1984},
        {{"-n+3", "x.d64"}, Mode::rewrite, false, false, false, 3},
    };
    for (const auto& c : cases) {
        CommandLine line = read(c.words);
        ASSERT_FALSE(first_failure(line).failed()) << c.words[0] << ": " << first_failure(line).text();
        EXPECT_EQ(line.options.mode, c.mode) << c.words[0];
        EXPECT_EQ(line.options.replace_without_asking, c.yes) << c.words[0];
        EXPECT_EQ(line.options.quiet, c.quiet) << c.words[0];
        EXPECT_EQ(line.options.style.full_blocks, c.blocks) << c.words[0];
        EXPECT_EQ(line.options.line_number, c.line_number) << c.words[0];
    }
}

TEST(CommandLine, LaterMachineListReplacesEarlier) {
    EXPECT_EQ(read({"--machine", "all", "--machine=PET", "x.d64"}).options.basic_starts, std::vector<unsigned>{0x0401});
    EXPECT_EQ(read({"x.d64"}).options.basic_starts, std::vector<unsigned>{0x0801});
}

// A value of -n or --machine is never taken for an option, also when the
// walk looks ahead for --batch and --json.
TEST(CommandLine, ValuesAreNeverOptions) {
    CommandLine line = read({"-vn", "--batch", "x.d64"});
    EXPECT_EQ(line.options.scope, Scope::single);
    EXPECT_EQ(line.walk_failure.text(), "ERROR: Bad argument -n '--batch' is not a number.");
    line = read({"--machine", "--json", "x.d64"});
    EXPECT_EQ(line.options.format, OutputFormat::text);
    line = read({"--", "-x.d64", "--json"});
    EXPECT_EQ(line.target.source, "-x.d64");
    EXPECT_EQ(line.target.destination, "--json");
    EXPECT_EQ(line.options.format, OutputFormat::text);
}

TEST(CommandLine, RequestsStopTheWalk) {
    struct Case {
        std::vector<std::string> words;
        Request request;
    };
    const std::vector<Case> cases = {
        {{"-examples", "-x"}, Request::examples},
        {{"--examples"}, Request::examples},
        {{"-h", "-x"}, Request::help},
        {{"x.d64", "--help"}, Request::help},
        {{"--version", "a", "b", "c"}, Request::version},
    };
    for (const auto& c : cases) {
        CommandLine line = read(c.words);
        EXPECT_EQ(line.request, c.request) << c.words[0];
        EXPECT_FALSE(first_failure(line).failed()) << c.words[0];
    }
}

} // namespace
