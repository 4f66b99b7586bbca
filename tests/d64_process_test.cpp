// Disk images through the whole process: rewrite, view, interactive
// answers, unusual sizes and damaged directories.
#include <gtest/gtest.h>

#include <chrono>

#include "image_builder.h"
#include "process_runner.h"

namespace {

const std::string DESTINATION_LINE = "Destination file set to 'disk.out.d64'.\n";

// Padded as the tool shows a name under the standard table.
std::string shown_name(const std::string& name) {
    return name + std::string(16 - name.size(), ' ');
}

// Two programs at $0801 on 17/0 and 19/3, a loader at $1C01 on 20/0, a SEQ
// file on 21/0, and a deleted entry whose sector holds a start line.
std::string sample_disk() {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_entry(image, 18, 1, 1, FILE_PRG, 19, 3, "BETA");
    put_entry(image, 18, 1, 2, FILE_PRG, 20, 0, "LOADER");
    put_entry(image, 18, 1, 3, FILE_SEQ, 21, 0, "NOTES");
    put_entry(image, 18, 1, 4, 0, 22, 0, "GONE");
    put_program(image, 17, 0, sys_program(10, "2061"));
    put_program(image, 19, 3, sys_program(1984, " 4096:REM"));
    put_program(image, 20, 0, sys_program(10, "7169", 0x1C01));
    put_program(image, 21, 0, "PLAIN TEXT");
    put_program(image, 22, 0, sys_program(5));
    return image;
}

std::string with_line(std::string image, int track, int sector, unsigned line_number) {
    image.replace(sector_offset(track, sector) + 6, 2, line_bytes(line_number));
    return image;
}

ProcessResult run_on_disk(TempFolder& folder, const std::string& image, std::vector<std::string> arguments,
                          const std::string& input = "") {
    write_file(folder / "disk.d64", image);
    arguments.push_back("disk.d64");
    RunSettings settings;
    settings.input = input;
    return run_mog(folder.path(), arguments, settings);
}

TEST(D64Process, RewriteChangesExactlyTheStartLinesAtBasicStart) {
    TempFolder folder;
    std::string image = sample_disk();
    ProcessResult result = run_on_disk(folder, image, {"-n", "2024"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, DESTINATION_LINE + "Changed file '" + shown_name("ALPHA") + "'.\n" + "Changed file '" +
                              shown_name("BETA") + "'.\n" + "Done.\n");
    EXPECT_EQ(read_file(folder / "disk.out.d64"), with_line(with_line(image, 17, 0, 2024), 19, 3, 2024));
    EXPECT_EQ(read_file(folder / "disk.d64"), image);
}

TEST(D64Process, RewriteUsesTheYearByDefault) {
    TempFolder folder;
    std::string image = sample_disk();
    ProcessResult result = run_on_disk(folder, image, {});
    int year = current_year();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, DESTINATION_LINE + "Current year: " + std::to_string(year) + "\n" + "Changed file '" +
                              shown_name("ALPHA") + "'.\n" + "Changed file '" + shown_name("BETA") + "'.\n" +
                              "Done.\n");
    EXPECT_EQ(read_file(folder / "disk.out.d64"),
              with_line(with_line(image, 17, 0, static_cast<unsigned>(year)), 19, 3, static_cast<unsigned>(year)));
}

TEST(D64Process, ViewListsEveryEntryInUse) {
    struct Case {
        const char* label;
        std::vector<std::string> options;
        std::string listing;
    };
    const std::string pad(11, '\xA0');
    const std::vector<Case> cases = {
        {"standard table",
         {},
         "ALPHA            [10 SYS2061]\n"
         "BETA             [1984 SYS 4096:REM]\n"
         "LOADER           \n"
         "NOTES            \n"},
        {"raw",
         {"-o"},
         "ALPHA" + pad + " [10 SYS2061]\n" + "BETA" + pad + "\xA0 [1984 SYS 4096:REM]\n" + "LOADER" + pad.substr(1) +
             " \n" + "NOTES" + pad + " \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::vector<std::string> arguments = c.options;
        arguments.push_back("-v");
        ProcessResult result = run_on_disk(folder, sample_disk(), arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "Current year: " + std::to_string(current_year()) + "\n" + c.listing + "Done.\n");
        EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"disk.d64"});
    }
}

TEST(D64Process, ViewConvertsNamesUnderEitherTable) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0,
              std::string("\x12"
                          "A\x5C\x5F\xC1\x61\x00Z",
                          8));
    put_program(image, 17, 0,
                sys_program(7, "\x12"
                               "1"));
    const std::string tail = std::string(8, ' ');
    struct Case {
        std::vector<std::string> options;
        std::string listing;
    };
    const std::vector<Case> cases = {
        {{"-v"},
         std::string("RA\x9C\xAE\xC1\x24@Z", 8) + tail +
             " [7 SYS\x52"
             "1]\n"},
        {{"-v", "-a"},
         std::string("\xDB"
                     "A\x9C\xAE\xC1\x24\xDBZ",
                     8) +
             tail +
             " [7 SYS\xDB"
             "1]\n"},
        // A zero byte ends a raw name early.
        {{"-v", "-o"},
         std::string("\x12"
                     "A\x5C\x5F\xC1\x61",
                     6) +
             " [7 SYS\x12"
             "1]\n"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        ProcessResult result = run_on_disk(folder, image, c.options);
        EXPECT_EQ(result.out, "Current year: " + std::to_string(current_year()) + "\n" + c.listing + "Done.\n");
    }
}

std::string repeated(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

TEST(D64Process, InteractiveAnswers) {
    struct Case {
        const char* label;
        std::string input;
        std::string dialogue;
        unsigned alpha;
        unsigned beta;
    };
    const std::string alpha_question = shown_name("ALPHA") + " (10): ";
    const std::string beta_question = shown_name("BETA") + " (1984): ";
    const std::vector<Case> cases = {
        {"enter keeps both", "\n\n", alpha_question + beta_question, 10, 1984},
        {"numbers", "100\n65535\n", alpha_question + beta_question, 100, 65535},
        {"crlf is an empty answer", "\r\n7\r\n", alpha_question + beta_question, 10, 7},
        {"negative asks again", "-5\n-1\n3\n\n",
         alpha_question + "Invalid input (no negativ numbers allowed).\n" + alpha_question +
             "Invalid input (no negativ numbers allowed).\n" + alpha_question + beta_question,
         3, 1984},
        {"too high asks again", "65536\n99999999999999999999\n0\n\n",
         alpha_question + "Invalid input (too high).\n" + alpha_question + "Invalid input (too high).\n" +
             alpha_question + beta_question,
         0, 1984},
        {"letters ask again", "abc\n \n12ab\n\n",
         alpha_question + "Invalid input.\n" + alpha_question + "Invalid input.\n" + alpha_question + beta_question, 12,
         1984},
        {"end of input means no change", "", alpha_question + beta_question, 10, 1984},
        {"last line without end of line", "\n5", alpha_question + beta_question, 10, 5},
        {"over-long line is one answer", std::string(300, '7') + "\n" + "8\n",
         alpha_question + "Invalid input (too high).\n" + alpha_question + beta_question, 8, 1984},
        {"long line of blanks keeps its digits", std::string(254, ' ') + "4" + "99\n\n", alpha_question + beta_question,
         4, 1984},
        // Input without a line ending is not waited for beyond 4 KiB.
        {"4095 bytes and a line ending are one answer", std::string(4095, '7') + "\n8\n\n",
         alpha_question + "Invalid input (too high).\n" + alpha_question + beta_question, 8, 1984},
        {"4096 bytes without a line ending end the input", std::string(4096, '7') + "\n8\n",
         alpha_question + beta_question, 10, 1984},
        {"4097 bytes without a line ending end the input", std::string(4097, '7') + "\n8\n",
         alpha_question + beta_question, 10, 1984},
        // A stream of wrong answers, as from yes, ends the input.
        {"16 wrong answers end the input", repeated("y\n", 16) + "5\n6\n",
         repeated(alpha_question + "Invalid input.\n", 16) + alpha_question + beta_question, 10, 1984},
        {"15 wrong answers do not", repeated("y\n", 15) + "5\n6\n",
         repeated(alpha_question + "Invalid input.\n", 15) + alpha_question + beta_question, 5, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string image = sample_disk();
        ProcessResult result = run_on_disk(folder, image, {"-i", "-n", "777"}, c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, DESTINATION_LINE + "Enter line number for each program or <enter> for no change.\n\n" +
                                  c.dialogue + "Done.\n");
        EXPECT_EQ(read_file(folder / "disk.out.d64"), with_line(with_line(image, 17, 0, c.alpha), 19, 3, c.beta));
    }
}

// The overwrite answer takes its whole line, but no more than 4 KiB of one
// without a line ending: the rest answers the programs.
TEST(D64Process, OverwriteAnswerAndLineAnswersShareTheInput) {
    struct Case {
        const char* label;
        std::string input;
        unsigned alpha, beta;
    };
    auto answer = [](std::size_t filler) { return std::string(1, 'y').append(filler, 'x').append("\n42\n\n"); };
    const std::vector<Case> cases = {
        {"y and its line ending", answer(0), 42, 1984},
        {"4096 bytes with the line ending", answer(4094), 42, 1984},
        {"4097 bytes: the line ending is the next answer", answer(4095), 10, 42},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        std::string image = sample_disk();
        write_file(folder / "disk.out.d64", "old");
        ProcessResult result = run_on_disk(folder, image, {"-i"}, c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(read_file(folder / "disk.out.d64"), with_line(with_line(image, 17, 0, c.alpha), 19, 3, c.beta));
    }
}

// Entries that lead to one program: its line is written once per entry, and
// each later entry says whose start line it is.
TEST(D64Process, SharedFirstSectorIsWrittenForEachEntry) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ONE");
    put_entry(image, 18, 1, 1, FILE_PRG, 17, 0, "TWO");
    put_program(image, 17, 0, sys_program(10));
    TempFolder folder;
    ProcessResult changed = run_on_disk(folder, image, {"-n", "3"});
    EXPECT_EQ(changed.out, DESTINATION_LINE + "Changed file '" + shown_name("ONE") + "'.\nChanged file '" +
                               shown_name("TWO") + "'. (same start line as \"ONE\")\nDone.\n");
    TempFolder other;
    ProcessResult asked = run_on_disk(other, image, {"-i", "-n", "3"}, "500\n\n");
    EXPECT_NE(asked.out.find(shown_name("TWO") + " (500): "), std::string::npos);
    EXPECT_EQ(read_file(other / "disk.out.d64"), with_line(image, 17, 0, 500));
    TempFolder listed;
    EXPECT_NE(run_on_disk(listed, image, {"-v"}).out.find("] (same start line as \"ONE\")\n"), std::string::npos);
    const std::string json = run_on_disk(listed, image, {"--json", "-y", "-n", "3"}).out;
    EXPECT_NE(json.find("\"line\":10,\"text\""), std::string::npos);
    EXPECT_NE(json.find("\"new_line\":3,\"machines\":[\"c64\"],\"archive\":null,\"shares_with\":0}"),
              std::string::npos);
    EXPECT_NE(json.find("\"changed\":1,"), std::string::npos);
}

// Images that are not 174,848 bytes: warned about, handled, written with their own size.
TEST(D64Process, OtherSizesKeepEveryByte) {
    struct Case {
        const char* label;
        std::size_t size;
        bool reaches_program;
        std::string broken_at; // where the directory chain breaks
    };
    const std::vector<Case> cases = {
        {"error bytes", IMAGE_SIZE + ERROR_BYTES_35_TRACKS, true, ""},
        {"40 tracks", IMAGE_SIZE_40_TRACKS, true, ""},
        {"40 tracks with error bytes", IMAGE_SIZE_40_TRACKS + 768, true, ""},
        {"one byte short", IMAGE_SIZE - 1, true, ""},
        {"cut inside the directory sector", sector_offset(18, 1) + 100, false, "18 sector 1"},
        {"cut inside the anchor", sector_offset(18, 0) + 1, false, "18 sector 0"},
        {"empty", 0, false, "18 sector 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string image = blank_image(IMAGE_SIZE_40_TRACKS + 768);
        put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
        put_entry(image, 18, 1, 1, FILE_PRG, 36, 2, "FAR");
        put_program(image, 17, 0, sys_program(10));
        put_program(image, 36, 2, sys_program(11));
        for (std::size_t i = IMAGE_SIZE_40_TRACKS; i < image.size(); ++i)
            image[i] = '\x01'; // error bytes
        image.resize(c.size);
        TempFolder folder;
        ProcessResult result = run_on_disk(folder, image, {"-n", "2"});
        EXPECT_EQ(result.status, 0);
        std::string out = DESTINATION_LINE + "WARNING: Size of d64 seems invalid. It is " + std::to_string(c.size) +
                          " but should be 174848.\n\n";
        std::string expected = image;
        if (c.reaches_program) {
            out += "Changed file '" + shown_name("ALPHA") + "'.\n";
            expected = with_line(expected, 17, 0, 2);
            if (c.size >= IMAGE_SIZE_40_TRACKS) {
                out += "Changed file '" + shown_name("FAR") + "'.\n";
                expected = with_line(expected, 36, 2, 2);
            }
        }
        if (!c.broken_at.empty())
            out += "WARNING: Directory chain broken at track " + c.broken_at + ".\n";
        EXPECT_EQ(result.out, out + "Done.\n");
        EXPECT_EQ(read_file(folder / "disk.out.d64"), expected);
    }
}

// Broken directories end the pass normally: no crash, no hang, nothing outside the image.
TEST(D64Process, DamagedDirectoriesEndNormally) {
    struct Case {
        const char* label;
        void (*damage)(std::string& image);
        std::string listing; // with the warning where the chain breaks
    };
    const std::string alpha = "ALPHA            [10 SYS2061]\n";
    auto broken = [](const std::string& at) { return "WARNING: Directory chain broken at track " + at + ".\n"; };
    const std::vector<Case> cases = {
        {"directory loops to itself", [](std::string& i) { link_sector(i, 18, 1, 18, 1); },
         alpha + broken("18 sector 1")},
        {"directory loops back over two sectors",
         [](std::string& i) {
             link_sector(i, 18, 1, 18, 4);
             link_sector(i, 18, 4, 18, 1);
         },
         alpha + broken("18 sector 1")},
        {"directory links to the anchor", [](std::string& i) { link_sector(i, 18, 1, 18, 0); },
         alpha + broken("18 sector 0")},
        {"link to track 41", [](std::string& i) { link_sector(i, 18, 1, 41, 0); }, alpha + broken("41 sector 0")},
        {"link to a sector beyond the track", [](std::string& i) { link_sector(i, 18, 1, 18, 19); },
         alpha + broken("18 sector 19")},
        {"link to track 36 of a 35-track image", [](std::string& i) { link_sector(i, 18, 1, 36, 0); },
         alpha + broken("36 sector 0")},
        {"anchor links nowhere", [](std::string& i) { link_sector(i, 18, 0, 0, 1); }, ""},
        {"anchor links to track 255", [](std::string& i) { link_sector(i, 18, 0, 255, 255); },
         broken("255 sector 255")},
        {"entry points to track 0", [](std::string& i) { put_entry(i, 18, 1, 1, FILE_PRG, 0, 0, "BROKEN"); },
         alpha + "BROKEN           \n"},
        {"entry points beyond the disk", [](std::string& i) { put_entry(i, 18, 1, 1, FILE_PRG, 40, 16, "FAR"); },
         alpha + "FAR              \n"},
        {"entry points to sector 21 of track 1", [](std::string& i) { put_entry(i, 18, 1, 1, FILE_PRG, 1, 21, "ODD"); },
         "WARNING: File 2 starts at track 1 sector 21, outside the disk.\n\n" + alpha + "ODD              \n"},
        {"DEL entry, as directory art, points to track 99",
         [](std::string& i) { put_entry(i, 18, 1, 1, 0x80, 99, 0, "ART"); }, alpha + "ART              \n"},
        {"start line without end runs to the sector's end",
         [](std::string& i) {
             put_entry(i, 18, 1, 1, FILE_PRG, 1, 0, "FULL");
             std::string line = sys_program(3, std::string(247, '9'));
             i.replace(sector_offset(1, 0) + 2, 254, line.substr(0, 254));
             link_sector(i, 1, 1, '9', '9'); // the next sector's link is no part of the line
         },
         alpha + "FULL             [3 SYS" + std::string(247, '9') + "]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string image = blank_image();
        put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
        put_program(image, 17, 0, sys_program(10));
        c.damage(image);
        for (const auto& options : std::vector<std::vector<std::string>>{{"-v"}, {"-n", "1"}, {"-i"}}) {
            TempFolder folder;
            auto started = std::chrono::steady_clock::now();
            ProcessResult result = run_on_disk(folder, image, options, "\n\n\n");
            // A runner such as wine adds its own start-up time.
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(tool_runner().empty() ? 1 : 10));
            EXPECT_EQ(result.status, 0);
            EXPECT_EQ(result.err, "");
            ASSERT_GE(result.out.size(), 6u);
            EXPECT_EQ(result.out.substr(result.out.size() - 6), "Done.\n");
            if (options.front() == "-v") {
                EXPECT_EQ(result.out, "Current year: " + std::to_string(current_year()) + "\n" + c.listing + "Done.\n");
            } else {
                EXPECT_EQ(read_file(folder / "disk.out.d64").size(), image.size());
            }
        }
    }
}

// Only sectors the image really holds are read: the error bytes after 35
// tracks are no track 36, and an image cut short after the anchor's link
// still leads to the directory.
TEST(D64Process, OnlyTheImagesOwnSectorsAreRead) {
    // Error bytes that would read as a directory sector at 36/0, with an
    // entry whose program is on 17/1, and as a program at 36/1.
    std::string with_error_bytes = blank_image(IMAGE_SIZE_40_TRACKS);
    put_entry(with_error_bytes, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_program(with_error_bytes, 17, 0, sys_program(10));
    put_entry(with_error_bytes, 36, 0, 0, FILE_PRG, 17, 1, "PHANTOM");
    put_program(with_error_bytes, 17, 1, sys_program(20));
    put_program(with_error_bytes, 36, 1, sys_program(30));
    with_error_bytes.resize(IMAGE_SIZE + ERROR_BYTES_35_TRACKS);
    std::string linked_to_error_bytes = with_error_bytes, entry_in_error_bytes = with_error_bytes;
    link_sector(linked_to_error_bytes, 18, 1, 36, 0);
    put_entry(entry_in_error_bytes, 18, 1, 1, FILE_PRG, 36, 1, "FAR");
    // The anchor's link leads back to track 17, which the cut image holds whole.
    std::string cut = blank_image();
    link_sector(cut, 18, 0, 17, 20);
    link_sector(cut, 17, 20, 0, 0xFF);
    put_entry(cut, 17, 20, 0, FILE_PRG, 1, 0, "ALPHA");
    put_program(cut, 1, 0, sys_program(10));
    cut.resize(sector_offset(18, 0) + 255);

    const std::string alpha = shown_name("ALPHA") + " [10 SYS2061]\n";
    auto size_warning = [](std::size_t size) {
        return "WARNING: Size of d64 seems invalid. It is " + std::to_string(size) + " but should be 174848.\n\n";
    };
    struct Case {
        const char* label;
        std::string image;
        std::string listing; // between the year and "Done."
        int alpha_track;     // ALPHA's program, the only one changed, is in sector 0 of this track
    };
    const std::vector<Case> cases = {
        {"directory linked into the error bytes", linked_to_error_bytes,
         size_warning(linked_to_error_bytes.size()) + alpha + "WARNING: Directory chain broken at track 36 sector 0.\n",
         17},
        {"first sector in the error bytes", entry_in_error_bytes,
         size_warning(entry_in_error_bytes.size()) + alpha + shown_name("FAR") + " \n", 17},
        {"cut after the anchor's link", cut, size_warning(cut.size()) + alpha, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        ProcessResult view = run_on_disk(folder, c.image, {"-v"});
        EXPECT_EQ(view.out, "Current year: " + std::to_string(current_year()) + "\n" + c.listing + "Done.\n");
        ProcessResult rewrite = run_on_disk(folder, c.image, {"-n", "2"});
        EXPECT_EQ(rewrite.status, 0);
        EXPECT_EQ(read_file(folder / "disk.out.d64"), with_line(c.image, c.alpha_track, 0, 2));
    }
}

TEST(D64Process, EmptyDirectoryWritesTheSameImage) {
    TempFolder folder;
    std::string image = blank_image();
    ProcessResult result = run_on_disk(folder, image, {"-n", "1"});
    EXPECT_EQ(result.out, DESTINATION_LINE + "Done.\n");
    EXPECT_EQ(read_file(folder / "disk.out.d64"), image);
}

TEST(D64Process, LongDirectoryFollowsTheChain) {
    std::string image = blank_image();
    link_sector(image, 18, 1, 18, 4);
    link_sector(image, 18, 4, 0, 0xFF);
    std::string expected_out = DESTINATION_LINE;
    for (int n = 0; n < 16; ++n) {
        std::string name = "PROGRAM " + std::to_string(n);
        put_entry(image, 18, n < 8 ? 1 : 4, n % 8, FILE_PRG, 1, n, name);
        put_program(image, 1, n, sys_program(static_cast<unsigned>(n)));
        expected_out += "Changed file '" + shown_name(name) + "'.\n";
    }
    TempFolder folder;
    ProcessResult result = run_on_disk(folder, image, {"-n", "99"});
    EXPECT_EQ(result.out, expected_out + "Done.\n");
    for (int n = 0; n < 16; ++n)
        image = with_line(image, 1, n, 99);
    EXPECT_EQ(read_file(folder / "disk.out.d64"), image);
}

} // namespace
