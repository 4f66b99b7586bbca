// The command line as a user meets it: options, checks, messages, statuses.
#include <gtest/gtest.h>

#include "image_builder.h"
#include "mog/version.h"
#include "process_runner.h"

namespace {

const std::string USAGE_BODY = usage_after_failure().substr(2);

struct FailureCase {
    const char* label;
    std::vector<std::string> arguments;
    std::string expected_out_before_usage; // what comes before the two newlines and the usage
    std::string expected_err;
};

TEST(CommandLineProcess, EachFailureReportsItsMessageUsageAndStatusOne) {
    const std::vector<FailureCase> cases = {
        {"n last", {"game.prg", "-n"}, "", "ERROR: Argument after -n missing."},
        {"n too high", {"-n", "65536", "game.prg"}, "", "ERROR: Bad argument -n out of range."},
        {"n negative", {"-n", "-1", "game.prg"}, "", "ERROR: Bad argument -n out of range."},
        {"n not a number", {"-n", "2O26", "game.prg"}, "", "ERROR: Bad argument -n '2O26' is not a number."},
        {"n overflowing digits",
         {"-n", "99999999999999999999999", "game.prg"},
         "",
         "ERROR: Bad argument -n out of range."},
        {"n overflowing negative",
         {"-n", "-99999999999999999999999", "game.prg"},
         "",
         "ERROR: Bad argument -n out of range."},
        {"unknown option", {"game.prg", "-x"}, "", "ERROR: Unknown option '-x'."},
        {"option case matters", {"-V", "game.prg"}, "", "ERROR: Unknown option '-V'."},
        {"lone dash", {"-"}, "", "ERROR: Unknown option '-'."},
        {"third name", {"a.prg", "b.prg", "c.prg"}, "", "ERROR: Bad argument c.prg"},
        {"view with interactive", {"-v", "-i", "game.d64"}, "", "ERROR: Modes -v and -i don't go together.'."},
        {"view with number", {"-v", "-n", "5", "game.d64"}, "", "ERROR: Modes -v and -n don't go together.'."},
        {"no source", {"-n", "5"}, "", "ERROR: No source file given."},
        {"unknown extension", {"game.txt"}, "", "Unknown extension of source file."},
        {"missing source with bad extension", {"nothing.lha"}, "", "Unknown extension of source file."},
        {"short name", {"prg"}, "", "Unknown extension of source file."},
        {"extension alone is too short", {".d6"}, "", "Unknown extension of source file."},
        {"extensions differ", {"game.prg", "out.d64"}, "", "ERR: File extensions must match."},
        {"short destination", {"game.prg", "prg"}, "", "ERR: File extensions must match."},
        {"interactive prg",
         {"-i", "game.prg"},
         "Destination file set to 'game.out.prg'.\n",
         "ERROR: No interactive mode for .prg files.'."},
        {"missing source",
         {"absent.prg"},
         "Destination file set to 'absent.out.prg'.\n",
         "ERROR: File 'absent.prg' not found."},
        {"missing source in view mode", {"-v", "absent.d64"}, "", "ERROR: File 'absent.d64' not found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "game.prg", sys_program(10));
        write_file(folder / "game.d64", blank_image());
        ProcessResult result = run_mog(folder.path(), c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.expected_err);
        EXPECT_EQ(result.out, c.expected_out_before_usage + usage_after_failure());
        EXPECT_FALSE(path_exists(folder / "game.out.prg"));
    }
}

TEST(CommandLineProcess, UsageAndExamplesEndWithStatusZero) {
    TempFolder folder;
    ProcessResult bare = run_mog(folder.path(), {});
    EXPECT_EQ(bare.status, 0);
    EXPECT_EQ(bare.err, "");
    // After a failure the usage names the tool "mog"; alone, it names the
    // tool as invoked, and the second form lines up under the first's options.
    ASSERT_EQ(USAGE_BODY.find("mog [-n <num>] [-i] [-v] <src> [<dst>]\n    -examples\n"), USAGE_BODY.find("mog [-n"));
    std::string name = mog_binary();
    std::string expected = USAGE_BODY;
    expected.replace(expected.find("mog [-n"), 3, name);
    expected.replace(expected.find("    -examples"), 4, std::string(name.size() + 1, ' '));
    if (tool_runner().empty()) {
        EXPECT_EQ(bare.out, expected);
    } else { // a runner passes its own form of the name
        std::printf("not run under %s: the usage naming the tool as invoked\n", tool_runner().c_str());
    }

    // Later arguments and the checks after the walk are never looked at.
    const std::string examples = run_mog(folder.path(), {"-examples"}).out;
    EXPECT_EQ(examples.substr(0, 11), "Examples:\n\n");
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"game.txt", "-examples", "-x"}, {"-v", "-i", "-examples", "-n"}}) {
        ProcessResult result = run_mog(folder.path(), arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, examples);
        EXPECT_EQ(result.err, "");
    }
}

TEST(CommandLineProcess, LineNumberValuesAreWritten) {
    struct Case {
        std::string value;
        unsigned written;
    };
    const std::vector<Case> cases = {
        {"65535", 65535}, {"0", 0}, {"  42", 42}, {"+7", 7}, {"-0", 0}, {"2020", 2020},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        TempFolder folder;
        std::string program = sys_program(10);
        write_file(folder / "game.prg", program);
        ProcessResult result = run_mog(folder.path(), {"-n", c.value, "game.prg"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "Destination file set to 'game.out.prg'.\nDone.\n");
        program.replace(4, 2, line_bytes(c.written));
        EXPECT_EQ(read_file(folder / "game.out.prg"), program);
    }
}

TEST(CommandLineProcess, LaterLineNumberWinsAndNamesMixWithOptions) {
    TempFolder folder;
    std::string program = sys_program(10);
    write_file(folder / "game.prg", program);
    ProcessResult result = run_mog(folder.path(), {"-n", "1", "game.prg", "-n", "300", "x.PRG"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Done.\n");
    program.replace(4, 2, line_bytes(300));
    EXPECT_EQ(read_file(folder / "x.PRG"), program);
}

TEST(CommandLineProcess, UpperCaseExtensionGivesLowerCaseDefault) {
    TempFolder folder;
    write_file(folder / "GAME.PRG", sys_program(10));
    ProcessResult result = run_mog(folder.path(), {"-n", "1", "GAME.PRG"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Destination file set to 'GAME.out.prg'.\nDone.\n");
    EXPECT_TRUE(path_exists(folder / "GAME.out.prg"));
}

struct GuardCase {
    const char* label;
    std::string input;
    bool close_input;
    int status;
    std::string out_after_question;
};

TEST(CommandLineProcess, OverwriteGuardAsksAndTakesOnlyYes) {
    const std::string question = "Destination file set to 'game.out.prg'.\n"
                                 "Destination file already exists!\n"
                                 "Press <y> to overwrite, any other to cancel. ";
    const std::vector<GuardCase> cases = {
        {"y", "y\n", false, 0, "\nOverwrite activated!\n\nDone.\n"},
        {"Y without newline", "Y", false, 0, "\nOverwrite activated!\n\nDone.\n"},
        {"yes", "yes\n", false, 0, "\nOverwrite activated!\n\nDone.\n"},
        {"n", "n\n", false, 5, ""},
        {"empty line", "\n", false, 5, ""},
        {"end of input", "", false, 5, ""},
        {"closed input", "", true, 5, ""},
        {"other key", "q\n", false, 5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string program = sys_program(10);
        write_file(folder / "game.prg", program);
        write_file(folder / "game.out.prg", "old");
        RunSettings settings;
        settings.input = c.input;
        settings.close_input = c.close_input;
        ProcessResult result = run_mog(folder.path(), {"-n", "7", "game.prg"}, settings);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, question + c.out_after_question);
        EXPECT_EQ(result.err, "");
        program.replace(4, 2, line_bytes(7));
        EXPECT_EQ(read_file(folder / "game.out.prg"), c.status == 0 ? program : "old");
    }
}

TEST(CommandLineProcess, ViewModeWithAnExistingDestinationStillAsks) {
    TempFolder folder;
    write_file(folder / "game.prg", sys_program(10));
    write_file(folder / "other.prg", "keep");
    RunSettings settings;
    settings.input = "n\n";
    ProcessResult result = run_mog(folder.path(), {"-v", "game.prg", "other.prg"}, settings);
    EXPECT_EQ(result.status, 5);
    EXPECT_EQ(result.out, "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ");
    EXPECT_EQ(read_file(folder / "other.prg"), "keep");
}

TEST(CommandLineProcess, HelpAndVersionEndWithStatusZero) {
    TempFolder folder;
    // Wherever they stand in the walk, and whatever follows.
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--help"}, {"x.prg", "--help", "-z"}, {"--json", "--help"}}) {
        ProcessResult help = run_mog(folder.path(), arguments);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.err, "");
        for (const char* named : {"-n <num>", "-i ", "-v ", "-a ", "-o ", "-y ", "-examples", "--help", "--version",
                                  "-- ", ".prg", ".p00", ".d64", ".d71", ".d81", ".t64"})
            EXPECT_NE(help.out.find(named), std::string::npos) << named;
        // The manual page, or on Windows the text file that the zip puts beside mog.exe.
        std::string manual = tool_runner().empty() ? "man mog" : "mog.txt";
        EXPECT_TRUE(help.out.ends_with("\n\nSee " + manual + " for more.\n")) << help.out;
    }
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--version"}, {"-n", "5", "--version", "x"}}) {
        ProcessResult version = run_mog(folder.path(), arguments);
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, "mog " MOG_VERSION_STRING "\n");
    }
    EXPECT_EQ(run_mog(folder.path(), {"-z", "--help"}).status, 1); // the walk stops at the first bad argument
}

// After "--" a name may begin with "-"; -y replaces without a word of the question.
TEST(CommandLineProcess, DoubleDashEndsOptionsAndYesReplaces) {
    TempFolder folder;
    std::string program = sys_program(10);
    write_file(folder / "-game.prg", program);
    ProcessResult result = run_mog(folder.path(), {"-y", "-n", "7", "--", "-game.prg", "-game.prg"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Done.\n");
    program.replace(4, 2, line_bytes(7));
    EXPECT_EQ(read_file(folder / "-game.prg"), program);
    EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"-game.prg"});
}

// Names in any language are read, written and reported byte for byte.
TEST(CommandLineProcess, NonAsciiNamesPassUnchanged) {
    TempFolder folder;
    const std::string name = "Spiel-\xC3\x9C"
                             "ber-\xE6\x97\xA5\xE6\x9C\xAC";
    std::string program = sys_program(10);
    write_file(folder / (name + ".prg"), program);
    ProcessResult result = run_mog(folder.path(), {"-n", "7", name + ".prg"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Destination file set to '" + name + ".out.prg'.\nDone.\n");
    program.replace(4, 2, line_bytes(7));
    EXPECT_EQ(read_file(folder / (name + ".out.prg")), program);
}

// The spellings other tools have taught users mean exactly what the older
// ones mean, to the byte.
TEST(CommandLineProcess, NewerSpellingsMeanTheOlderOnes) {
    std::string disk = blank_image();
    put_entry(disk, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(disk, 17, 0, sys_program(10));
    put_entry(disk, 18, 1, 1, FILE_PRG, 17, 1, "LOADER");
    put_program(disk, 17, 1, sys_program(10, "7181", 0x1C01));
    struct Case {
        std::vector<std::string> newer, older;
    };
    const std::vector<Case> cases = {
        {{"-h"}, {"--help"}},
        {{"--examples"}, {"-examples"}},
        {{"-vy", "disk.d64", "x.d64"}, {"-v", "-y", "disk.d64", "x.d64"}},
        {{"-ay", "-n2026", "disk.d64", "a.d64"}, {"-a", "-y", "-n", "2026", "disk.d64", "a.d64"}},
        {{"-yn", "7", "disk.d64", "b.d64"}, {"-y", "-n", "7", "disk.d64", "b.d64"}},
        {{"--machine=c128", "-v", "disk.d64"}, {"--machine", "c128", "-v", "disk.d64"}},
        {{"-n-1", "disk.d64"}, {"-n", "-1", "disk.d64"}},
        {{"-example"}, {"-ex"}},
    };
    TempFolder folder;
    write_file(folder / "disk.d64", disk);
    write_file(folder / "x.d64", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newer[0]);
        ProcessResult newer = run_mog(folder.path(), c.newer);
        std::string written = c.newer.size() > 2 ? read_file(folder / c.newer.back()) : "";
        ProcessResult older = run_mog(folder.path(), c.older);
        EXPECT_EQ(newer.out, older.out);
        EXPECT_EQ(newer.status, older.status);
        if (c.newer[0] != "-example") {
            EXPECT_EQ(newer.err, older.err);
        }
        if (c.newer.size() > 2) {
            EXPECT_EQ(written, read_file(folder / c.older.back()));
        }
    }
    // Letters that are not all known options fail naming the whole argument.
    EXPECT_EQ(run_mog(folder.path(), {"-example"}).err, "ERROR: Unknown option '-example'.");
    EXPECT_EQ(run_mog(folder.path(), {"-vz", "disk.d64"}).err, "ERROR: Unknown option '-vz'.");
}

// Quiet, a run prints what needs the user: warnings, errors, questions,
// listings asked for and what a check finds, and a batch's summary.
TEST(CommandLineProcess, QuietPrintsOnlyWhatNeedsTheUser) {
    std::string disk = blank_image(174849);
    put_entry(disk, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(disk, 17, 0, sys_program(10));
    TempFolder folder;
    write_file(folder / "disk.d64", disk);
    write_file(folder / "done.prg", sys_program(2026));
    const std::string warning = "WARNING: Size of d64 seems invalid. It is 174849 but should be 174848.\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string out;
        int status;
    };
    const std::vector<Case> cases = {
        {{"-q", "disk.d64"}, warning + "\nChanged file 'GAME            '.\n", 0},
        {{"--quiet", "-v", "disk.d64"}, warning + "\nGAME             [10 SYS2061]\n", 0},
        {{"-q", "-n", "2026", "done.prg"}, "", 0},
        {{"-q", "--check", "-n", "2026", "disk.d64", "--batch", "done.prg"},
         "disk.d64: WARNING: Size of d64 seems invalid. It is 174849 but should be 174848.\n"
         "disk.d64: 'GAME            ' has line 10, not 2026.\n2 files: 0 lacking, 0 without a start line, 1 damaged.\n",
         4},
        {{"-q", "--check", "-n", "2026", "--batch", "done.prg"}, "1 file: 0 lacking, 0 without a start line, 0 damaged.\n", 0},
        {{"-q", "--in-place", "-n", "2026", "disk.d64", "done.prg"},
         "disk.d64: WARNING: Size of d64 seems invalid. It is 174849 but should be 174848.\n"
         "disk.d64: 1 program changed.\n2 files: 1 changed, 1 unchanged, 0 kept, 0 failed.\n",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[1]);
        ProcessResult result = run_mog(folder.path(), c.arguments);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.status, c.status);
    }
}

} // namespace
