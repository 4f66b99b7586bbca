// The tool at a terminal: glyphs instead of code page 850 bytes, no control
// codes from files, and a single-key overwrite question.
#include <gtest/gtest.h>

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

TEST(TerminalProcess, OverwriteQuestionTakesOneKeyWithoutEcho) {
    SKIP_UNDER_RUNNER("POSIX pseudo-terminals");
    struct Case {
        const char* label;
        std::string key;
        int status;
        std::string after_question;
    };
    const std::vector<Case> cases = {
        {"y", "y", 0, "\nOverwrite activated!\n\nDone.\n"},
        {"Y", "Y", 0, "\nOverwrite activated!\n\nDone.\n"},
        {"n", "n", 5, ""},
        {"Enter", "\r", 5, ""},
        {"Ctrl-C", "\x03", 128 + 2, ""},
    };
    const std::string question = "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string program = sys_program(10);
        write_file(folder / "game.prg", program);
        write_file(folder / "game.out.prg", "old");
        TerminalSettings settings;
        settings.prompt = "cancel. ";
        settings.keys = c.key;
        TerminalRun run = run_in_terminal(folder.path(), {"-n", "1", "game.prg"}, settings);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.screen, "Destination file set to 'game.out.prg'.\n" + question + c.after_question);
        EXPECT_TRUE(same_settings(run.before, run.after));
        program.replace(4, 2, line_bytes(1));
        EXPECT_EQ(read_file(folder / "game.out.prg"), c.status == 0 ? program : "old");
    }
}

} // namespace
