// D71 and D81 images, T64 tapes and P00 files through the whole process.
// The images were written by cc1541 and cbmconvert, the P00 files extracted
// by cbmconvert (samples/make_samples.sh); tapes come from the builder.
#include <gtest/gtest.h>

#include <cctype>

#include "image_builder.h"
#include "process_runner.h"
#include "zip_builder.h"

namespace {

const std::string SOURCE_DIR = MOG_SOURCE_DIR;
const std::string YEAR_LINE = "Current year: " + std::to_string(current_year()) + "\n";

std::string fixture(const std::string& name) {
    return read_file(SOURCE_DIR + "/tests/fixtures/" + name);
}

std::string padded(const std::string& name) {
    return name + std::string(16 - name.size(), ' ');
}

std::string listed(const std::string& name, const std::string& start_line = "") {
    return padded(name) + " " + (start_line.empty() ? "" : "[" + start_line + "]") + "\n";
}

// The ten entries both tools wrote: eight programs at $0801, a loader at
// $1C01 and a SEQ file, over two directory sectors.
std::string fixture_listing(int entries = 10) {
    const char* names[] = {"ONE", "TWO", "LOADER", "NOTES", "P5", "P6", "P7", "P8", "P9", "P10"};
    std::string listing;
    for (int k = 0; k < entries; ++k)
        listing += listed(names[k], k == 2 || k == 3 ? "" : "800 SYS2061");
    return listing;
}

// A tape with a free slot that points at a start line, a loader at $1C01 and
// a program whose line has a blank before its address.
std::string builder_tape() {
    std::string alpha = sys_program(10).substr(2), beta = sys_program(1984, " 4096:REM").substr(2);
    return tape_image({{1, 0x0801, "ALPHA", alpha},
                       {0, 0x0801, "GONE", alpha},
                       {1, 0x1C01, "LOADER", sys_program(10, "7169", 0x1C01).substr(2)},
                       {1, 0x0801, "BETA", beta}},
                      6);
}

// "Changed file" for each listed program with a start line.
std::string change_lines(const std::string& listing) {
    std::string changes;
    for (std::size_t at = 0; at < listing.size(); at = listing.find('\n', at) + 1)
        if (listing[at + 17] == '[')
            changes += "Changed file '" + listing.substr(at, 16) + "'.\n";
    return changes;
}

const std::string BUILDER_TAPE_LISTING =
    listed("ALPHA", "10 SYS2061") + listed("LOADER") + listed("BETA", "1984 SYS 4096:REM");

// The bytes that differ, as pairs of line-number bytes that stand right
// before a SYS token; empty if any other byte changed.
std::vector<std::size_t> changed_line_numbers(const std::string& before, const std::string& after) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i])
            changed.push_back(i);
    for (std::size_t k = 0; k < changed.size(); k += 2)
        if (k + 1 >= changed.size() || changed[k + 1] != changed[k] + 1 || after[changed[k] + 2] != '\x9E')
            return {};
    return before.size() == after.size() ? changed : std::vector<std::size_t>{};
}

// Every start line at $0801 is listed, and a rewrite changes exactly its two
// line-number bytes, which stand right before the SYS token.
TEST(ContainerProcess, EveryFormatListsAndRewritesItsPrograms) {
    struct Case {
        std::string extension;
        std::string content;
        std::string listing; // empty for a one-program file: its start line is shown
        int programs;
    };
    const std::vector<Case> cases = {
        {"d71", fixture("cc1541.d71"), fixture_listing(), 8},
        {"d71", fixture("cbmconvert.d71"), fixture_listing(), 8},
        {"d81", fixture("cc1541.d81"), fixture_listing(), 8},
        {"d81", fixture("cbmconvert.d81"), fixture_listing(), 8},
        {"D81", read_file(SOURCE_DIR + "/samples/sample.d81"),
         listed("HELLO", "800 SYS2061") + listed("LOADER") + listed("NOTES"), 1},
        {"t64", read_file(SOURCE_DIR + "/samples/sample.t64"),
         listed("HELLO", "800 SYS2061") + listed("COUNTER", "800 SYS2061"), 2},
        {"T64", builder_tape(), BUILDER_TAPE_LISTING, 2},
        {"p00", fixture("one.p00"), "", 1},
        {"P07", fixture("one.p00"), "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension + " " + c.listing.substr(0, 20));
        TempFolder folder;
        const std::string source = "src." + c.extension;
        write_file(folder / source, c.content);

        ProcessResult view = run_mog(folder.path(), {"-v", source});
        EXPECT_EQ(view.status, 0);
        EXPECT_EQ(view.out, YEAR_LINE + (c.listing.empty() ? "800 SYS2061\n" : c.listing) + "Done.\n");

        ProcessResult rewrite = run_mog(folder.path(), {"-n", "4660", source});
        std::string destination = "src.out." + c.extension;
        for (char& ch : destination)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(rewrite.status, 0);
        EXPECT_EQ(rewrite.out,
                  "Destination file set to '" + destination + "'.\n" + change_lines(c.listing) + "Done.\n");
        std::string written = read_file(folder / destination);
        // Numbers that already were 4660 would not show; none of these is.
        std::vector<std::size_t> changed = changed_line_numbers(c.content, written);
        ASSERT_EQ(changed.size(), 2u * static_cast<std::size_t>(c.programs));
        for (std::size_t k = 0; k < changed.size(); k += 2)
            EXPECT_EQ(written.substr(changed[k], 2), "\x34\x12");
    }
}

// A zip's member is stamped where it lies, under every system the tool runs on.
TEST(ContainerProcess, ZipMembersAreStampedInPlace) {
    TempFolder folder;
    write_file(folder / "a.zip", zip_of({{"disks/game.prg", sys_program(10)}, {"notes.txt", "text"}}));
    const ProcessResult stamped = run_mog(folder.path(), {"--in-place", "-n", "7", "a.zip"});
    EXPECT_EQ(stamped.status, 0);
    EXPECT_EQ(stamped.out, "a.zip!disks/game.prg: 1 program changed.\n1 files: 1 changed, 0 unchanged, 0 kept, 0 failed.\n");
    const std::string listed = run_mog(folder.path(), {"-v", "--json", "a.zip"}).out;
    EXPECT_NE(listed.find("\"file\":\"a.zip!disks/game.prg\",\"member\":\"disks/game.prg\""), std::string::npos);
    EXPECT_NE(listed.find("\"line\":7,"), std::string::npos);
}

// The second side of a D71 repeats the first's layout; a D81 is uniform.
std::size_t d71_offset(int track, int sector) {
    return track <= 35 ? sector_offset(track, sector) : IMAGE_SIZE + sector_offset(track - 35, sector);
}
std::size_t d81_offset(int track, int sector) {
    return (static_cast<std::size_t>(track - 1) * 40 + static_cast<std::size_t>(sector)) * 256;
}

TEST(ContainerProcess, OtherSizesWarnAndKeepEveryByte) {
    for (const std::string extension : {"d71", "d81"}) {
        SCOPED_TRACE(extension);
        std::string image = fixture("cc1541." + extension);
        const std::size_t standard = image.size();
        image.resize(standard + standard / 256, '\x01'); // one error byte per sector
        TempFolder folder;
        write_file(folder / ("disk." + extension), image);
        ProcessResult result = run_mog(folder.path(), {"-n", "4660", "disk." + extension});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "Destination file set to 'disk.out." + extension + "'.\nWARNING: Size of " + extension +
                                  " seems invalid. It is " + std::to_string(image.size()) + " but should be " +
                                  std::to_string(standard) + ".\n\n" + change_lines(fixture_listing()) + "Done.\n");
        std::string written = read_file(folder / ("disk.out." + extension));
        ASSERT_EQ(written.size(), image.size());
        EXPECT_EQ(written.substr(standard), image.substr(standard));
    }
}

// A chain that cannot go on is reported where the walk stops; what lies
// before it is handled as usual.
TEST(ContainerProcess, BrokenDirectoryChainsWarnWhereTheyBreak) {
    struct Case {
        const char* label;
        std::string image;
        std::size_t first_directory; // offset of the first directory sector
        int link_track;              // its new link; -1 cuts the image inside it
        int link_sector;
        std::string broken_at;
        int entries_listed;
    };
    const std::size_t d71_first = d71_offset(18, 1), d81_first = d81_offset(40, 3);
    const std::vector<Case> cases = {
        {"d71 link to track 71", fixture("cc1541.d71"), d71_first, 71, 0, "71 sector 0", 8},
        {"d71 link to a sector track 53 lacks", fixture("cbmconvert.d71"), d71_first, 53, 19, "53 sector 19", 8},
        {"d71 link back to the anchor", fixture("cc1541.d71"), d71_first, 18, 0, "18 sector 0", 8},
        {"d71 loop to itself", fixture("cbmconvert.d71"), d71_first, 18, 1, "18 sector 1", 8},
        {"d81 link to track 81", fixture("cc1541.d81"), d81_first, 81, 0, "81 sector 0", 8},
        {"d81 link to sector 40", fixture("cbmconvert.d81"), d81_first, 40, 40, "40 sector 40", 8},
        {"d81 link back to the header", fixture("cc1541.d81"), d81_first, 40, 0, "40 sector 0", 8},
        {"d81 cut inside the first directory sector", fixture("cbmconvert.d81"), d81_first, -1, 0, "40 sector 3", 0},
        // The header's link to 40/3 is read; that sector is beyond the bytes read.
        {"d81 cut inside the header", fixture("cc1541.d81"), d81_offset(40, 0), -1, 0, "40 sector 3", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string image = c.image;
        if (c.link_track < 0) {
            image.resize(c.first_directory + 100);
        } else {
            image[c.first_directory] = static_cast<char>(c.link_track);
            image[c.first_directory + 1] = static_cast<char>(c.link_sector);
        }
        const std::string extension = c.label[1] == '7' ? "d71" : "d81";
        TempFolder folder;
        write_file(folder / ("disk." + extension), image);
        ProcessResult result = run_mog(folder.path(), {"-v", "disk." + extension});
        EXPECT_EQ(result.status, 0);
        std::string expected = YEAR_LINE;
        if (image.size() != c.image.size())
            expected += "WARNING: Size of " + extension + " seems invalid. It is " + std::to_string(image.size()) +
                        " but should be " + std::to_string(c.image.size()) + ".\n\n";
        expected += fixture_listing(c.entries_listed) + "WARNING: Directory chain broken at track " + c.broken_at +
                    ".\n" + "Done.\n";
        EXPECT_EQ(result.out, expected);
    }
}

// Tapes as old collections hold them: free slots, data beyond the end,
// directories larger than the file, no signature.
TEST(ContainerProcess, TapesListWhatLiesWithinTheFile) {
    const std::string alpha = sys_program(10).substr(2);
    const std::string no_signature = "WARNING: No T64 signature found.\n\n";
    auto cut = [](const char* entries) {
        return "WARNING: Tape cut short: the data of " + std::string(entries) + " lies beyond its end.\n\n";
    };
    struct Case {
        const char* label;
        std::string tape;
        std::string listing; // after the year
    };
    std::string cut_line = tape_image({{1, 0x0801, "CUT", alpha.substr(0, 4)}});
    std::string endless_line = tape_image({{1, 0x0801, "OPEN", alpha.substr(0, 7)}});
    const std::vector<Case> cases = {
        {"builder tape", builder_tape(), BUILDER_TAPE_LISTING},
        {"data beyond the end", tape_image({{1, 0x0801, "FAR", "", 100000}, {1, 0x0801, "NEAR", alpha}}),
         cut("1 entry") + listed("FAR") + listed("NEAR", "10 SYS2061")},
        {"cut after the first program",
         tape_image({{1, 0x0801, "A", alpha}, {1, 0x0801, "B", alpha}, {1, 0x0801, "C", alpha}})
             .substr(0, 160 + alpha.size()),
         cut("2 entries") + listed("A", "10 SYS2061") + listed("B") + listed("C")},
        {"line cut before its token", cut_line, listed("CUT")},
        {"line without its zero runs to the end", endless_line, listed("OPEN", "10 SYS20")},
        {"line that ends with the file at its token", tape_image({{1, 0x0801, "EDGE", alpha.substr(0, 5)}}),
         listed("EDGE", "10 SYS")},
        // Data inside the directory is no program, and not cut off.
        {"entries reserved beyond the file",
         tape_image({{1, 0x0801, "ALPHA", ""}, {1, 0x0801, "INSIDE", "", 1000}}, 65535).substr(0, 64 + 32 * 3),
         cut("1 entry") + listed("ALPHA") + listed("INSIDE")},
        {"other signature", tape_image({{1, 0x0801, "ALPHA", alpha}}, 1, "C64S tape file"),
         listed("ALPHA", "10 SYS2061")},
        {"no signature", tape_image({{1, 0x0801, "ALPHA", alpha}}, 1, "PC64 tape"),
         no_signature + listed("ALPHA", "10 SYS2061")},
        {"shorter than a header", "C64 tape", no_signature},
        {"empty", "", no_signature},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "tape.t64", c.tape);
        ProcessResult result = run_mog(folder.path(), {"-v", "tape.t64"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, YEAR_LINE + c.listing + "Done.\n");
    }
}

// Which slots hold entries is read from the directory size, whatever the
// entries-in-use field says, a size of 0 counting as one entry; data that
// would begin inside the header or the directory is no program.
TEST(ContainerProcess, TapeDirectoriesAreReadAsTheirSizeSays) {
    const std::string alpha = sys_program(10).substr(2);
    std::string two_in_use_one = tape_image({{1, 0x0801, "ONE", alpha}, {1, 0x0801, "TWO", alpha}});
    two_in_use_one[36] = 1;
    std::string size_zero = tape_image({{1, 0x0801, "ONE", alpha}});
    size_zero[34] = 0;
    std::string inside = tape_image({{1, 0x0801, "ONE", "", 96}, {1, 0x0801, "TWO", alpha}});
    inside[96 + 4] = '\x9E'; // TWO's entry would read as a start line with a SYS token
    struct Case {
        const char* label;
        std::string tape;
        std::vector<std::string> changed;     // the names of the programs changed
        std::vector<std::size_t> data_offset; // and where their data lies
    };
    const std::vector<Case> cases = {
        {"fewer entries in use than reserved", two_in_use_one, {"ONE", "TWO"}, {128, 128 + alpha.size()}},
        {"directory size 0", size_zero, {"ONE"}, {96}},
        {"data inside the directory", inside, {"TWO"}, {128}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "tape.t64", c.tape);
        ProcessResult result = run_mog(folder.path(), {"-n", "4660", "tape.t64"});
        EXPECT_EQ(result.status, 0);
        std::string out = "Destination file set to 'tape.out.t64'.\n", written = c.tape;
        for (std::size_t k = 0; k < c.changed.size(); ++k) {
            out += "Changed file '" + padded(c.changed[k]) + "'.\n";
            written.replace(c.data_offset[k] + 2, 2, line_bytes(4660));
        }
        EXPECT_EQ(result.out, out + "Done.\n");
        EXPECT_EQ(read_file(folder / "tape.out.t64"), written);
    }
}

TEST(ContainerProcess, TapesAskLikeDisks) {
    TempFolder folder;
    std::string tape = builder_tape();
    write_file(folder / "tape.t64", tape);
    RunSettings settings;
    settings.input = "5\n\n";
    ProcessResult result = run_mog(folder.path(), {"-i", "tape.t64"}, settings);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Destination file set to 'tape.out.t64'.\n" + YEAR_LINE +
                              "Enter line number for each program or <enter> for no change.\n\n" + padded("ALPHA") +
                              " (10): " + padded("BETA") + " (1984): Done.\n");
    tape.replace(64 + 32 * 6 + 2, 2, line_bytes(5)); // ALPHA's data follows the six entries
    EXPECT_EQ(read_file(folder / "tape.out.t64"), tape);
}

// P00 files fail as PRG files do, and for a missing header.
TEST(ContainerProcess, P00FilesFailLikePrgFiles) {
    struct Case {
        const char* label;
        std::string source;
        std::string content;
        std::vector<std::string> options;
        int status;
        std::string out_before_usage;
        std::string err;
    };
    const std::string one = fixture("one.p00");
    const std::vector<Case> cases = {
        {"loads at $1C01",
         "ld.p00",
         fixture("loader.p00"),
         {"-n", "1"},
         2,
         "Destination file set to 'ld.out.p00'.\n",
         "ERR: Unexpected startadress 1c01!"},
        {"a PRG named .p00", "game.p00", sys_program(10), {"-v"}, 2, YEAR_LINE, "ERR: Not a P00 file!"},
        {"shorter than the header", "game.p01", one.substr(0, 25), {"-v"}, 2, YEAR_LINE, "ERR: Not a P00 file!"},
        {"header without its zero",
         "game.p00",
         "C64File!" + one.substr(8),
         {"-v"},
         2,
         YEAR_LINE,
         "ERR: Not a P00 file!"},
        {"a flux image named .p64",
         "disk.p64",
         "P64-1541" + std::string(100, '\0'),
         {"-v"},
         2,
         YEAR_LINE,
         "ERR: Not a P00 file!"},
        {"interactive",
         "one.P00",
         one,
         {"-i"},
         1,
         "Destination file set to 'one.out.p00'.\n",
         "ERROR: No interactive mode for .p00 files."},
        {"numbers differ", "one.p00", one, {"-n", "1", "one.p01"}, 1, "", "ERR: File extensions must match."},
        {"a letter after p", "one.pa1", one, {}, 1, "", "Unknown extension of source file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / c.source, c.content);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.begin() + (arguments.size() > 2 ? 2 : static_cast<long>(arguments.size())),
                         c.source);
        ProcessResult result = run_mog(folder.path(), arguments);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, c.out_before_usage + usage_after_failure());
        EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{c.source});
    }
}

// Programs built for each machine by cc65 (and one for the MEGA65, laid out
// by hand), on disks written by cc1541: every start line is found with
// --machine all, only the C64's without it.
TEST(ContainerProcess, MachinesChooseWhereStartLinesLoad) {
    std::string disk = blank_image();
    const unsigned addresses[] = {0x0801, 0x1C01, 0x4001, 0x1001, 0x0401, 0x1201, 0x2001, 0x0800};
    for (int k = 0; k < 8; ++k) {
        put_entry(disk, 18, 1, k, FILE_PRG, 1, k, "P" + std::to_string(k));
        put_program(disk, 1, k, sys_program(10, "2061", addresses[k]));
    }
    std::vector<TapeEntry> entries;
    for (unsigned address : addresses)
        entries.push_back({1, address, "P", sys_program(10, "2061", address).substr(2)});
    struct Case {
        std::string extension;
        std::string content;
        int programs;     // start lines with --machine all
        int c64_programs; // and without it
    };
    const std::vector<Case> cases = {
        {"prg", fixture("c128.prg"), 1, 0},
        {"p00", fixture("c128.p00"), 1, 0},
        {"d64", disk, 7, 1},
        {"d71", fixture("machines.d71"), 6, 1},
        {"d81", fixture("machines.d81"), 6, 1},
        {"t64", tape_image(entries), 7, 1},
    };
    for (const auto& c : cases) {
        for (bool all : {true, false}) {
            SCOPED_TRACE(c.extension + (all ? " with --machine all" : ""));
            TempFolder folder;
            write_file(folder / ("src." + c.extension), c.content);
            std::vector<std::string> arguments = {"-n", "4660", "src." + c.extension, "out." + c.extension};
            if (all)
                arguments.insert(arguments.begin(), {"--machine", "all"});
            ProcessResult result = run_mog(folder.path(), arguments);
            const int programs = all ? c.programs : c.c64_programs;
            EXPECT_EQ(result.status, programs == 0 ? 2 : 0);
            if (programs == 0) {
                EXPECT_EQ(result.err, "ERR: Unexpected startadress 1c01!");
                continue;
            }
            const std::string written = read_file(folder / ("out." + c.extension));
            std::vector<std::size_t> changed = changed_line_numbers(c.content, written);
            ASSERT_EQ(changed.size(), 2u * static_cast<std::size_t>(programs));
            for (std::size_t k = 0; k < changed.size(); k += 2)
                EXPECT_EQ(written.substr(changed[k], 2), "\x34\x12");
        }
    }
    // A C128 program's start line shows with --machine c128 alone.
    TempFolder folder;
    write_file(folder / "loader.prg", fixture("c128.prg"));
    ProcessResult view = run_mog(folder.path(), {"--machine", "c128", "-v", "loader.prg"});
    EXPECT_EQ(view.status, 0);
    EXPECT_EQ(view.out, YEAR_LINE + "800 SYS7181\nDone.\n");
}

// The builder's tapes are what cbmconvert, which reads T64, takes them for.
TEST(ContainerProcess, BuilderTapesExtractWithCbmconvert) {
    SKIP_UNDER_RUNNER("cbmconvert is a POSIX program");
    if (std::system("cbmconvert >/dev/null 2>&1 </dev/null; command -v cbmconvert >/dev/null") != 0)
        GTEST_SKIP() << "cbmconvert is not installed (Debian: cbmconvert)";
    TempFolder folder;
    const std::string one = sys_program(10), two = sys_program(1984, " 4096:REM");
    write_file(folder / "tape.t64", tape_image({{1, 0x0801, "ONE", one.substr(2)}, {1, 0x0801, "TWO", two.substr(2)}}));
    ASSERT_EQ(std::system(("cd " + folder.path() + " && cbmconvert -N -t tape.t64 >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(read_file(folder / "one.prg"), one);
    EXPECT_EQ(read_file(folder / "two.prg"), two);
}

} // namespace

// An archive cbmconvert writes is listed and stamped in place: cbmconvert
// extracts each file whole from the result, as mog makes it of the file
// alone, and no byte before the files' data changes.
TEST(ContainerProcess, LynxArchivesRoundTripThroughCbmconvert) {
    SKIP_UNDER_RUNNER("cbmconvert is a POSIX program");
    if (std::system("command -v cbmconvert >/dev/null") != 0)
        GTEST_SKIP() << "cbmconvert is not installed (Debian: cbmconvert)";
    TempFolder folder;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"game.prg", read_file(SOURCE_DIR + "/samples/game.prg")},
        {"c128.prg", fixture("c128.prg")},
        {"two.prg", sys_program(1984, " 4096") + std::string(600, 'x')},
        {"notes.seq", read_file(SOURCE_DIR + "/samples/notes.txt")}};
    for (const auto& [name, bytes] : files)
        write_file(folder / name, bytes);
    ASSERT_EQ(
        std::system(("cd " + folder.path() +
                     " && cbmconvert -L x.lnx -n game.prg c128.prg two.prg notes.seq >/dev/null 2>&1 && mkdir out")
                        .c_str()),
        0);
    ProcessResult view = run_mog(folder.path(), {"-v", "x.lnx"});
    EXPECT_EQ(view.status, 0);
    EXPECT_EQ(view.out, YEAR_LINE + listed("GAME", "800 SYS2061") + listed("C128") + listed("TWO", "1984 SYS 4096") +
                            listed("NOTES") + "Done.\n");
    EXPECT_EQ(run_mog(folder.path(), {"-n", "1999", "x.lnx", "out/x.lnx"}).status, 0);
    const std::string before = read_file(folder / "x.lnx"), after = read_file(folder / "out/x.lnx");
    const std::size_t data_start = before.find(files[0].second);
    EXPECT_EQ(after.substr(0, data_start), before.substr(0, data_start));
    ASSERT_EQ(std::system(("cd " + folder.path() + "/out && cbmconvert -N -l x.lnx >/dev/null 2>&1").c_str()), 0);
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const bool stamped = run_mog(folder.path(), {"-n", "1999", name, "out." + name}).status == 0;
        EXPECT_EQ(read_file(folder / ("out/" + name)), stamped ? read_file(folder / ("out." + name)) : bytes);
    }
    EXPECT_EQ(after.size(), before.size());
}
