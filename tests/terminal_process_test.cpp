// The tool at a terminal: glyphs instead of code page 850 bytes, no control
// codes from files, and a single-key overwrite question.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

#include "image_builder.h"
#include "process_runner.h"
#include "terminal.h"

namespace {

const std::string YEAR_LINE = "Current year: " + std::to_string(current_year()) + "\n";

std::string disk_with_name(const std::string& name, const std::string& line_text = "2061") {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, name);
    put_program(image, 17, 0, sys_program(10, line_text));
    return image;
}

TEST(TerminalProcess, Utf8TerminalShowsCodePage850Glyphs) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        const char* label;
        std::string name;
        std::vector<std::string> options;
        std::string locale;
        std::string shown_name; // the name and its padding as the terminal gets it
    };
    std::string raw_padding_glyphs; // 0xA0 unconverted is the code page 850 glyph a-acute
    for (int i = 0; i < 11; ++i)
        raw_padding_glyphs += "\xC3\xA1";
    const std::vector<Case> cases = {
        {"pound and macron",
         "\x5C\xA3"
         "ABC",
         {"-v"},
         "C.UTF-8",
         "\xC2\xA3\xC2\xAF"
         "ABC" +
             std::string(11, ' ')},
        {"box drawing", "\x60\x7D\xB0", {"-v"}, "C.UTF-8", "\xE2\x94\x80|\xE2\x94\x8C" + std::string(13, ' ')},
        {"escape in a raw name",
         "\x1B[2J\x07",
         {"-v", "-o"},
         "C.UTF-8",
         "\xE2\x86\x90[2J\xE2\x80\xA2" + raw_padding_glyphs},
        {"escape under a non-UTF-8 locale", "\x1B[2J\x07", {"-v", "-o"}, "C", "?[2J?" + std::string(11, '\xA0')},
        // Named but not installed, as often over SSH: judged by its name.
        {"UTF-8 locale that is not installed",
         "\x5C\xA3"
         "ABC",
         {"-v"},
         "xx_XX.UTF-8",
         "\xC2\xA3\xC2\xAF"
         "ABC" +
             std::string(11, ' ')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "disk.d64", disk_with_name(c.name));
        std::vector<std::string> arguments = c.options;
        arguments.push_back("disk.d64");
        TerminalSettings settings;
        settings.locale = c.locale;
        TerminalRun run = run_in_terminal(folder.path(), arguments, settings);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.screen, YEAR_LINE + c.shown_name + " [10 SYS2061]\nDone.\n");
        EXPECT_EQ(run.screen.find('\x1B'), std::string::npos);
        EXPECT_TRUE(same_settings(run.before, run.after));
    }
}

TEST(TerminalProcess, ErrorsOnATerminalShowNoControlCodes) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    TempFolder folder;
    TerminalRun run = run_in_terminal(folder.path(),
                                      {"-\x1B"
                                       "c"},
                                      {});
    EXPECT_EQ(run.status, 1);
    const std::string message = "ERROR: Unknown option '-\xE2\x86\x90"
                                "c'.\n\n";
    EXPECT_EQ(run.screen.substr(0, message.size()), message);
}

// On a terminal a message ends its line, so that the usage or the shell's
// prompt starts on a line of its own; many names without --batch also get a
// hint. Pipes and files get the bytes as ever.
TEST(TerminalProcess, MessagesEndTheirLineOnATerminal) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        std::vector<std::string> arguments;
        std::string message; // standard error
        bool usage;          // the usage text follows
        int status;
    };
    const std::vector<Case> cases = {
        {{"-x"}, "ERROR: Unknown option '-x'.\n", true, 1},
        {{"a.prg", "b.prg", "c.prg"},
         "ERROR: Bad argument c.prg\nWith many names, --batch takes each one as a source.\n",
         true,
         1},
        {{"data.prg"}, "ERR: No SYS command where expected!\n", true, 2},
        {{"folder.d64"}, "ERROR: Cannot read file 'folder.d64': Is a directory.\n", false, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TempFolder folder;
        write_file(folder / "data.prg", "text");
        mkdir((folder / "folder.d64").c_str(), 0755);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), {"-q", "-n", "1"});
        TerminalRun run = run_in_terminal(folder.path(), arguments, {});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.screen.substr(0, c.message.size() + 3), c.message + (c.usage ? "\n\nC" : ""));
        if (!c.usage) {
            EXPECT_EQ(run.screen, c.message);
        }
        ProcessResult piped = run_mog(folder.path(), arguments);
        std::string bytes = c.message.substr(0, c.message.find('\n'));
        EXPECT_EQ(piped.err, c.usage ? bytes : bytes + "\n");
    }
}

TEST(TerminalProcess, OverwriteQuestionTakesOneKeyWithoutEcho) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        const char* label;
        TerminalStep answer; // at the question
        int status;
        std::string after_question;
    };
    const std::vector<Case> cases = {
        {"y", {"cancel. ", "y"}, 0, "\nOverwrite activated!\n\nDone.\n"},
        {"Y", {"cancel. ", "Y"}, 0, "\nOverwrite activated!\n\nDone.\n"},
        // Declined, the question ends its line, so that the shell's prompt
        // starts on a line of its own.
        {"n", {"cancel. ", "n"}, 5, "\n"},
        {"Enter", {"cancel. ", "\r"}, 5, "\n"},
        {"Ctrl-C", {"cancel. ", "\x03"}, 128 + SIGINT, ""},
        {"SIGUSR1", {"cancel. ", "", SIGUSR1}, 128 + SIGUSR1, ""},
        {"SIGALRM", {"cancel. ", "", SIGALRM}, 128 + SIGALRM, ""},
        // Stopped and continued in line mode, the question still takes one key.
        {"y after a stop", {"cancel. ", "y", 0, true}, 0, "\nOverwrite activated!\n\nDone.\n"},
    };
    const std::string question = "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string program = sys_program(10);
        write_file(folder / "game.prg", program);
        write_file(folder / "game.out.prg", "old");
        TerminalSettings settings;
        settings.steps = {c.answer};
        TerminalRun run = run_in_terminal(folder.path(), {"-n", "1", "game.prg"}, settings);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.screen, "Destination file set to 'game.out.prg'.\n" + question + c.after_question);
        EXPECT_TRUE(same_settings(run.before, run.after));
        program.replace(4, 2, line_bytes(1));
        EXPECT_EQ(read_file(folder / "game.out.prg"), c.status == 0 ? program : "old");
        EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"game.out.prg", "game.prg"}));
    }
}

// Keys typed after the answer, when no question follows, are the shell's:
// only an Enter within half a second belongs to the answer.
TEST(TerminalProcess, KeysTypedAfterTheAnswerReachTheShell) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        const char* label;
        std::vector<TerminalStep> steps;
        int status;
        std::string unread;
        bool carriage_returns_through = false;
    };
    const std::vector<Case> cases = {
        {"a command soon after y", {{"cancel. ", "y"}, {"", "ls\r", 0, false, 100}}, 0, "ls\n"},
        {"a command typed with the y", {{"cancel. ", "yls\r"}}, 0, "ls\n"},
        {"Enter soon after y", {{"cancel. ", "y"}, {"", "\r", 0, false, 150}}, 0, ""},
        {"CR soon after y, the terminal passing CR on", {{"cancel. ", "y"}, {"", "\r", 0, false, 150}}, 0, "", true},
        {"a command after the Enter", {{"cancel. ", "y"}, {"", "\r", 0, false, 50}, {"", "ls", 0, false, 50}}, 0, "ls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "game.prg", sys_program(10));
        write_file(folder / "game.out.prg", "old");
        TerminalSettings settings;
        settings.steps = c.steps;
        settings.carriage_returns_through = c.carriage_returns_through;
        TerminalRun run = run_in_terminal(folder.path(), {"-n", "1", "game.prg"}, settings);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.unread, c.unread);
        EXPECT_TRUE(same_settings(run.before, run.after));
    }
}

std::string two_program_disk() {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_entry(image, 18, 1, 1, FILE_PRG, 17, 1, "BETA");
    put_program(image, 17, 0, sys_program(10));
    put_program(image, 17, 1, sys_program(20));
    return image;
}

// The Enter many type after y answers no program; with standard output
// redirected, the questions still reach the user, on standard error.
TEST(TerminalProcess, AnswersLandOnTheirQuestions) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    const std::string questions = "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ";
    const std::string header = "Enter line number for each program or <enter> for no change.\n\n";
    const std::string dialogue = header + "ALPHA            (10): 7\nBETA             (20): \n";
    for (bool redirected : {false, true}) {
        SCOPED_TRACE(redirected ? "output redirected" : "output on the terminal");
        TempFolder folder;
        std::string image = two_program_disk();
        write_file(folder / "disk.d64", image);
        write_file(folder / "disk.out.d64", "old");
        TerminalSettings settings;
        settings.steps = {{"cancel. ", "y\n"}, {"(10): ", "7\n"}, {"(20): ", "\n"}};
        if (redirected)
            settings.output_file = folder / "log.txt";
        TerminalRun run = run_in_terminal(folder.path(), {"-i", "-n", "1", "disk.d64"}, settings);
        EXPECT_EQ(run.status, 0);
        const std::string out = "Destination file set to 'disk.out.d64'.\n" + questions + "\nOverwrite activated!\n\n" +
                                header + "ALPHA            (10): BETA             (20): Done.\n";
        if (redirected) {
            EXPECT_EQ(read_file(folder / "log.txt"), out); // the bytes as without a terminal
            EXPECT_EQ(run.screen, questions + "\n" + dialogue);
        } else {
            EXPECT_EQ(run.screen, "Destination file set to 'disk.out.d64'.\n" + questions +
                                      "\nOverwrite activated!\n\n" + dialogue + "Done.\n");
        }
        image.replace(sector_offset(17, 0) + 6, 2, line_bytes(7));
        EXPECT_EQ(read_file(folder / "disk.out.d64"), image);
    }
}

// At a human pace the Enter after y comes a little later: it still belongs
// to the y and answers no program.
TEST(TerminalProcess, EnterSoonAfterYesBelongsToTheYes) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    const std::string question = "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ";
    for (int enter_after_ms : {150, 400}) {
        SCOPED_TRACE(enter_after_ms);
        TempFolder folder;
        std::string image = two_program_disk();
        write_file(folder / "disk.d64", image);
        write_file(folder / "disk.out.d64", "old");
        TerminalSettings settings;
        settings.steps = {{"cancel. ", "y"}, {"", "\r", 0, false, enter_after_ms}, {"(10): ", "7\r"}, {"(20): ", "\r"}};
        TerminalRun run = run_in_terminal(folder.path(), {"-i", "-n", "1", "disk.d64"}, settings);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.screen, "Destination file set to 'disk.out.d64'.\n" + question + "\nOverwrite activated!\n\n" +
                                  "Enter line number for each program or <enter> for no change.\n\n" +
                                  "ALPHA            (10): 7\nBETA             (20): \nDone.\n");
        EXPECT_TRUE(same_settings(run.before, run.after));
        image.replace(sector_offset(17, 0) + 6, 2, line_bytes(7));
        EXPECT_EQ(read_file(folder / "disk.out.d64"), image);
    }
}

// What is typed together with the y belongs to the next question, and a CR
// LF after it, from a terminal that passes CR on, is one line ending.
TEST(TerminalProcess, KeysTypedWithTheYesGoWhereTheyBelong) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        const char* label;
        std::vector<TerminalStep> steps;
        bool carriage_returns_through;
        std::string dialogue;
    };
    const std::vector<Case> cases = {
        {"a digit typed with the y",
         {{"cancel. ", "y7"}, {"(10): 7", "\n"}, {"(20): ", "\n"}},
         false,
         "ALPHA            (10): 7\nBETA             (20): \n"},
        {"CR LF after the y",
         {{"cancel. ", "y\r\n"}, {"(10): ", "7\n"}, {"(20): ", "\n"}},
         true,
         "ALPHA            (10): 7\nBETA             (20): \n"},
    };
    const std::string question = "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string image = two_program_disk();
        write_file(folder / "disk.d64", image);
        write_file(folder / "disk.out.d64", "old");
        TerminalSettings settings;
        settings.steps = c.steps;
        settings.carriage_returns_through = c.carriage_returns_through;
        TerminalRun run = run_in_terminal(folder.path(), {"-i", "-n", "1", "disk.d64"}, settings);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.screen, "Destination file set to 'disk.out.d64'.\n" + question + "\nOverwrite activated!\n\n" +
                                  "Enter line number for each program or <enter> for no change.\n\n" + c.dialogue +
                                  "Done.\n");
        image.replace(sector_offset(17, 0) + 6, 2, line_bytes(7));
        EXPECT_EQ(read_file(folder / "disk.out.d64"), image);
    }
}

// Ctrl-D at a question ends the input: later questions are asked but not
// waited for, as a terminal would wait for more after the end of input; each
// ends its line, as Enter would.
TEST(TerminalProcess, EndOfInputAtATerminalAnswersEveryLaterQuestion) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    const std::string header = "Enter line number for each program or <enter> for no change.\n\n";
    for (bool redirected : {false, true}) {
        SCOPED_TRACE(redirected ? "output redirected" : "output on the terminal");
        TempFolder folder;
        std::string image = two_program_disk();
        write_file(folder / "disk.d64", image);
        TerminalSettings settings;
        settings.steps = {{"(10): ", "\x04"}};
        if (redirected)
            settings.output_file = folder / "log.txt";
        TerminalRun run = run_in_terminal(folder.path(), {"-i", "-n", "1", "disk.d64"}, settings);
        EXPECT_EQ(run.status, 0);
        const std::string set = "Destination file set to 'disk.out.d64'.\n";
        const std::string dialogue = header + "ALPHA            (10): \nBETA             (20): \n";
        if (redirected) {
            EXPECT_EQ(read_file(folder / "log.txt"),
                      set + header + "ALPHA            (10): BETA             (20): Done.\n");
            EXPECT_EQ(run.screen, dialogue);
        } else {
            EXPECT_EQ(run.screen, set + dialogue + "Done.\n");
        }
        EXPECT_EQ(read_file(folder / "disk.out.d64"), image);
    }
}

// Names the user typed are the system's text, not Commodore text: shown as
// given, but never with control codes or invalid bytes.
TEST(TerminalProcess, TypedNamesShowAsGiven) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        std::string name;
        std::string locale;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"Spiel-\xC3\x9C"
         "ber",
         "C.UTF-8",
         "Spiel-\xC3\x9C"
         "ber"},
        {"bad\xFF\x1B", "C.UTF-8", "bad\xEF\xBF\xBD\xE2\x86\x90"},
        {"c1\xC2\x9B", "C.UTF-8", "c1?"},
        {"latin\xDC\x1B", "C", "latin\xDC?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        TempFolder folder;
        write_file(folder / (c.name + ".prg"), sys_program(10));
        TerminalSettings settings;
        settings.locale = c.locale;
        TerminalRun run = run_in_terminal(folder.path(), {"-n", "1", c.name + ".prg"}, settings);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.screen, "Destination file set to '" + c.shown + ".out.prg'.\nDone.\n");
        EXPECT_TRUE(path_exists(folder / (c.name + ".out.prg")));
    }
}

} // namespace
