// PRG files through the whole process: rewrite, view, bad start lines and
// files that cannot be read or written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "image_builder.h"
#include "process_runner.h"

namespace {

const std::string DEFAULT_DESTINATION = "Destination file set to 'game.out.prg'.\n";

TEST(PrgProcess, RewriteChangesOnlyTheLineNumberBytes) {
    struct Case {
        std::vector<std::string> arguments;
        unsigned old_number;
        unsigned new_number;
        std::string out;
    };
    const std::string year_line = "Current year: " + std::to_string(current_year()) + "\n";
    const std::vector<Case> cases = {
        {{"-n", "2020", "game.prg"}, 10, 2020, DEFAULT_DESTINATION + "Done.\n"},
        {{"game.prg"}, 10, static_cast<unsigned>(current_year()), DEFAULT_DESTINATION + year_line + "Done.\n"},
        {{"-n", "65535", "game.prg"}, 10, 65535, DEFAULT_DESTINATION + "Done.\n"},
        {{"-n", "10", "game.prg"}, 10, 10, DEFAULT_DESTINATION + "Done.\n"},
        {{"-a", "-o", "-n", "1", "game.prg"}, 40000, 1, DEFAULT_DESTINATION + "Done.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        TempFolder folder;
        std::string program = sys_program(c.old_number) + std::string(3000, '\x55');
        write_file(folder / "game.prg", program);
        ProcessResult result = run_mog(folder.path(), c.arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, c.out);
        std::string expected = program;
        expected.replace(4, 2, line_bytes(c.new_number));
        EXPECT_EQ(read_file(folder / "game.out.prg"), expected);
        EXPECT_EQ(read_file(folder / "game.prg"), program);
        EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"game.out.prg", "game.prg"}));
    }
}

TEST(PrgProcess, ViewShowsTheStartLineUnderEachTable) {
    struct Case {
        const char* label;
        std::string line_text;
        std::vector<std::string> options;
        std::string shown;
    };
    const std::string year_line = "Current year: " + std::to_string(current_year()) + "\n";
    const std::vector<Case> cases = {
        {"plain", "2061", {}, "10 SYS2061\n"},
        {"blank before address", " 2061", {}, "10 SYS 2061\n"},
        {"pound and arrow", "\x5C\x5F", {}, "10 SYS\x9C\xAE\n"},
        {"control under standard table",
         "\x12"
         "1",
         {},
         "10 SYS\x52"
         "1\n"},
        {"control under block table",
         "\x12"
         "1",
         {"-a"},
         "10 SYS\xDB"
         "1\n"},
        {"raw", "\x12\x5C\xC1", {"-o"}, "10 SYS\x12\x5C\xC1\n"},
        {"raw wins over block table", "\x12", {"-a", "-o"}, "10 SYS\x12\n"},
        {"high codes", "\xC0\xC1\xFF", {}, "10 SYS\xC4\xC1\xFF\n"},
        {"longer than twenty characters is shown whole",
         "2061:REM THIS LINE IS RATHER LONG",
         {},
         "10 SYS2061:REM THIS LINE IS RATHER LONG\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string program = sys_program(10, c.line_text);
        write_file(folder / "game.prg", program);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.begin(), "-v");
        arguments.push_back("game.prg");
        ProcessResult result = run_mog(folder.path(), arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, year_line + c.shown + "Done.\n");
        EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"game.prg"});
        EXPECT_EQ(read_file(folder / "game.prg"), program);
    }
}

TEST(PrgProcess, LineWithoutEndIsShownToTheEndOfTheFile) {
    TempFolder folder;
    write_file(folder / "game.prg", std::string("\x01\x08\x0b\x08\x0a\x00\x9e"
                                                "2061",
                                                11));
    ProcessResult result = run_mog(folder.path(), {"-v", "game.prg"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Current year: " + std::to_string(current_year()) + "\n10 SYS2061\nDone.\n");
}

TEST(PrgProcess, UnexpectedStartLinesEndWithStatusTwo) {
    struct Case {
        const char* label;
        std::string bytes;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"loads at $1C01", sys_program(10, "2061", 0x1C01), "ERR: Unexpected startadress 1c01!"},
        {"loads at $C000", sys_program(10, "2061", 0xC000), "ERR: Unexpected startadress c000!"},
        {"PRINT instead of SYS", std::string("\x01\x08\x0b\x08\x0a\x00\x99\x22\x41\x22\x00\x00\x00", 13),
         "ERR: No SYS command where expected!"},
        {"neither SYS nor $0801", std::string("\x00\xC0\x0b\x08\x0a\x00\x99", 7),
         "ERR: No SYS command where expected!"},
        {"empty", "", "ERR: No SYS command where expected!"},
        {"six bytes", std::string("\x01\x08\x0b\x08\x0a\x00", 6), "ERR: No SYS command where expected!"},
        {"seven bytes", std::string("\x01\x08\x0b\x08\x0a\x00\x9e", 7), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (bool view : {false, true}) {
            TempFolder folder;
            write_file(folder / "game.prg", c.bytes);
            std::vector<std::string> arguments = {"-n", "5", "game.prg"};
            if (view)
                arguments = {"-v", "game.prg"};
            ProcessResult result = run_mog(folder.path(), arguments);
            std::string before = view ? "" : DEFAULT_DESTINATION;
            if (view)
                before += "Current year: " + std::to_string(current_year()) + "\n";
            if (c.err.empty()) {
                EXPECT_EQ(result.status, 0);
                EXPECT_EQ(result.out, before + (view ? "10 SYS\n" : "") + "Done.\n");
                continue;
            }
            EXPECT_EQ(result.status, 2);
            EXPECT_EQ(result.err, c.err);
            EXPECT_EQ(result.out, before + usage_after_failure());
            EXPECT_FALSE(path_exists(folder / "game.out.prg"));
        }
    }
}

TEST(PrgProcess, ReplacedDestinationKeepsModeAndLinks) {
    TempFolder folder;
    std::string program = sys_program(10);
    write_file(folder / "game.prg", program);
    write_file(folder / "target.prg", "old");
    chmod((folder / "target.prg").c_str(), 0640);
    ASSERT_EQ(symlink("target.prg", (folder / "link.prg").c_str()), 0);
    RunSettings settings;
    settings.input = "y\n";
    ProcessResult result = run_mog(folder.path(), {"-n", "9", "game.prg", "link.prg"}, settings);
    EXPECT_EQ(result.status, 0);
    program.replace(4, 2, line_bytes(9));
    EXPECT_EQ(read_file(folder / "target.prg"), program);
    struct stat info {};
    ASSERT_EQ(lstat((folder / "link.prg").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat((folder / "target.prg").c_str(), &info), 0);
    if (tool_runner().empty()) { // Windows has no POSIX modes
        EXPECT_EQ(info.st_mode & 07777, 0640u);
    }
    EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"game.prg", "link.prg", "target.prg"}));
}

// The set-user-ID, set-group-ID and sticky bits are kept as well; run as
// root, so are another user's owner and group, also in a folder that gives
// new files its own group, and the special bits with them.
TEST(PrgProcess, ReplacedDestinationKeepsItsSpecialModeBitsAndOwner) {
    SKIP_UNDER_RUNNER("Windows has no POSIX modes");
    struct Case {
        const char* label;
        uid_t owner;
        gid_t group;
        bool group_giving_folder;
    };
    const bool root = geteuid() == 0;
    const uid_t nobody = root ? 65534 : geteuid();
    const gid_t nogroup = root ? 65534 : getegid();
    const std::vector<Case> cases = {
        {"own file", geteuid(), getegid(), false},
        {"another user's file", nobody, nogroup, false},
        {"own file in a folder with its own group", geteuid(), getegid(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        mkdir((folder / "sub").c_str(), 0755);
        if (c.group_giving_folder && root) {
            ASSERT_EQ(chown((folder / "sub").c_str(), 0, nogroup), 0);
            ASSERT_EQ(chmod((folder / "sub").c_str(), 02775), 0);
        }
        write_file(folder / "sub/game.prg", sys_program(10));
        ASSERT_EQ(chown((folder / "sub/game.prg").c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod((folder / "sub/game.prg").c_str(), 07755), 0);
        for (const char* option : {"-y", "--in-place"}) {
            std::vector<std::string> arguments = {option, "-n", "9", "sub/game.prg"};
            if (std::string(option) == "-y")
                arguments.push_back("sub/game.prg");
            ProcessResult result = run_mog(folder.path(), arguments);
            EXPECT_EQ(result.status, 0) << option;
            struct stat info {};
            ASSERT_EQ(stat((folder / "sub/game.prg").c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 07755u) << option;
            EXPECT_EQ(info.st_uid, c.owner) << option;
            EXPECT_EQ(info.st_gid, c.group) << option;
        }
    }
}

TEST(PrgProcess, LongestFileNameCanBeReplaced) {
    TempFolder folder;
    const std::string name = std::string(251, 'x') + ".prg"; // 255 characters, the usual limit
    std::string program = sys_program(10);
    write_file(folder / name, program);
    RunSettings settings;
    settings.input = "y\n";
    ProcessResult result = run_mog(folder.path(), {"-n", "3", name, name}, settings);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    program.replace(4, 2, line_bytes(3));
    EXPECT_EQ(read_file(folder / name), program);
    EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{name});
}

TEST(PrgProcess, SourceAsDestinationIsRewrittenInPlace) {
    TempFolder folder;
    std::string program = sys_program(10);
    write_file(folder / "game.prg", program);
    RunSettings settings;
    settings.input = "Y\n";
    ProcessResult result = run_mog(folder.path(), {"-n", "2024", "game.prg", "game.prg"}, settings);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Destination file already exists!\nPress <y> to overwrite, any other to cancel. "
                          "\nOverwrite activated!\n\nDone.\n");
    program.replace(4, 2, "\xE8\x07");
    EXPECT_EQ(read_file(folder / "game.prg"), program);
}

} // namespace
