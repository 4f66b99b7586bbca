// What keeps a run over collections it did not make trustworthy, through the
// whole process: a line number that is data is never set, nothing is
// written outside what was named, a check passes only what it could check,
// and the log of an interrupted batch is whole.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

#include "image_builder.h"
#include "json_reader.h"
#include "process_runner.h"
#include "sda_builder.h"

namespace {

const std::string YEAR_LINE = "Current year: " + std::to_string(current_year()) + "\n";
const std::vector<ArchivedFile> ARCHIVED = {{"README", "what is in the archive\r", 'S'},
                                            {"GAME", std::string("\x01\x08", 2) + std::string(700, 'g'), 'P'}};

// A disk holding a self-dissolving archive along a chain of sectors, and an
// ordinary program.
std::string disk_with_archive(const std::string& archive) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 20, 0, "ARCHIVE");
    put_entry(image, 18, 1, 1, FILE_PRG, 17, 0, "GAME");
    std::vector<std::pair<int, int>> chain;
    for (std::size_t k = 0; k * 254 < archive.size(); ++k)
        chain.emplace_back(20, static_cast<int>(k));
    put_file(image, chain, archive);
    put_program(image, 17, 0, sys_program(10));
    return image;
}

// The program file an entry's chain holds, read apart from the tool.
std::string file_on_disk(const std::string& image, int track, int sector) {
    std::string file;
    for (int hops = 0; track != 0 && hops < 700; ++hops) {
        const std::size_t at = sector_offset(track, sector);
        track = static_cast<unsigned char>(image[at]);
        sector = static_cast<unsigned char>(image[at + 1]);
        file += image.substr(at + 2, track == 0 ? static_cast<std::size_t>(sector) - 1 : 254);
    }
    return file;
}

RunSettings answers(const std::string& input) {
    RunSettings settings;
    settings.input = input;
    return settings;
}

void expect_extracts_whole(const std::string& archive) {
    Extraction extraction = cbmconvert_extract(archive);
    EXPECT_EQ(extraction.status, 0) << extraction.messages;
    ASSERT_EQ(extraction.files.size(), ARCHIVED.size()) << extraction.messages;
    EXPECT_EQ(extraction.files["readme.seq"], ARCHIVED[0].bytes);
    EXPECT_EQ(extraction.files["game.prg"], ARCHIVED[1].bytes);
}

// The stub of a self-dissolving archive keeps its number in every mode and
// container, so that the archive still comes out whole; it is listed with
// its reason, asked nothing, and counts as neither changed nor lacking.
TEST(CollectionProcess, ArchiveStubsKeepTheirNumber) {
    const std::string archive = sda_program(9, ARCHIVED);
    const std::string disk = disk_with_archive(archive);
    TempFolder folder;
    write_file(folder / "ARCHIVE.prg", archive);
    write_file(folder / "disk.d64", disk);

    ProcessResult prg = run_mog(folder.path(), {"-n", "2026", "ARCHIVE.prg", "OUT.prg"});
    EXPECT_EQ(prg.status, 0);
    EXPECT_EQ(prg.out, "9 SYS2061 (self-dissolving archive, kept)\nDone.\n");
    EXPECT_EQ(read_file(folder / "OUT.prg"), archive);

    ProcessResult rewrite = run_mog(folder.path(), {"-n", "2026", "disk.d64"});
    EXPECT_EQ(rewrite.out, "Destination file set to 'disk.out.d64'.\n"
                           "ARCHIVE          [9 SYS2061] (self-dissolving archive, kept)\n"
                           "Changed file 'GAME            '.\nDone.\n");
    const std::string written = read_file(folder / "disk.out.d64");
    EXPECT_EQ(file_on_disk(written, 20, 0), archive);
    EXPECT_EQ(written,
              disk.substr(0, sector_offset(17, 0) + 6) + line_bytes(2026) + disk.substr(sector_offset(17, 0) + 8));

    ProcessResult view = run_mog(folder.path(), {"-v", "disk.d64"});
    EXPECT_EQ(view.out, YEAR_LINE + "ARCHIVE          [9 SYS2061] (self-dissolving archive, kept)\n"
                                    "GAME             [10 SYS2061]\nDone.\n");

    // Asked nothing: the one answer goes to the other program.
    ProcessResult asked = run_mog(folder.path(), {"-y", "-i", "disk.d64", "asked.d64"}, answers("1984\n"));
    EXPECT_EQ(asked.out, YEAR_LINE + "Enter line number for each program or <enter> for no change.\n\n"
                                     "GAME             (10): "
                                     "ARCHIVE          [9 SYS2061] (self-dissolving archive, kept)\nDone.\n");
    EXPECT_EQ(file_on_disk(read_file(folder / "asked.d64"), 20, 0), archive);

    ProcessResult json = run_mog(folder.path(), {"-n", "2026", "--json", "-y", "disk.d64", "json.d64"});
    std::vector<JsonValue> records;
    std::string error;
    ASSERT_TRUE(parse_json_lines(json.out, records, error)) << error;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0]["archive"].string, "sda");
    EXPECT_TRUE(records[0]["new_line"].is_null());
    EXPECT_EQ(records[0]["line"].number, 9);
    EXPECT_TRUE(records[1]["archive"].is_null());
    EXPECT_EQ(records[1]["new_line"].number, 2026);
    EXPECT_EQ(records[2]["changed"].number, 1);

    ProcessResult check = run_mog(folder.path(), {"--check", "-n", "9", "ARCHIVE.prg"});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(run_mog(folder.path(), {"--check", "-n", "10", "disk.d64"}).status, 0);

    // A batch over both changes the other program only.
    ProcessResult batch = run_mog(folder.path(), {"--in-place", "-n", "2026", "ARCHIVE.prg", "disk.d64"});
    EXPECT_EQ(batch.status, 0);
    EXPECT_EQ(batch.out, "ARCHIVE.prg: nothing changed.\ndisk.d64: 1 program changed.\n"
                         "2 files: 1 changed, 1 unchanged, 0 kept, 0 failed.\n");
    EXPECT_EQ(read_file(folder / "ARCHIVE.prg"), archive);
    EXPECT_EQ(read_file(folder / "disk.d64"), written);

    if (!cbmconvert_installed())
        GTEST_SKIP() << "cbmconvert is not installed (Debian: cbmconvert): the archives are not extracted";
    expect_extracts_whole(read_file(folder / "OUT.prg"));
    expect_extracts_whole(read_file(folder / "ARCHIVE.prg"));
    expect_extracts_whole(file_on_disk(read_file(folder / "disk.d64"), 20, 0));
}

// A folder search takes no link, to a file or a folder, and a derived
// destination that is a link is never written through; names given are
// followed as they always were.
TEST(CollectionProcess, NothingIsWrittenOutsideWhatWasNamed) {
    SKIP_UNDER_RUNNER("symbolic links of POSIX");
    const std::string disk = disk_with_archive(sda_program(9, ARCHIVED));
    TempFolder folder;
    for (const char* sub : {"/tree", "/elsewhere", "/elsewhere/deep"})
        mkdir((folder.path() + sub).c_str(), 0755);
    for (const char* name :
         {"tree/own.d64", "elsewhere/ext.d64", "elsewhere/deep/far.d64", "elsewhere/victim", "x.d64", "y.d64"})
        write_file(folder / name, disk);
    ASSERT_EQ(symlink("../elsewhere/ext.d64", (folder / "tree/c.d64").c_str()), 0);
    ASSERT_EQ(symlink("../elsewhere/deep", (folder / "tree/deep").c_str()), 0);
    ASSERT_EQ(symlink("x.d64", (folder / "x.out.d64").c_str()), 0);
    ASSERT_EQ(symlink("elsewhere/victim", (folder / "y.out.d64").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (folder / "z.out.d64").c_str()), 0);
    write_file(folder / "z.d64", disk);

    ProcessResult tree = run_mog(folder.path(), {"--in-place", "-n", "7", "tree"});
    EXPECT_EQ(tree.out, "tree/own.d64: 1 program changed.\n1 files: 1 changed, 0 unchanged, 0 kept, 0 failed.\n");
    EXPECT_EQ(tree.status, 0);
    for (const char* name : {"elsewhere/ext.d64", "elsewhere/deep/far.d64"})
        EXPECT_EQ(read_file(folder / name), disk) << name;

    for (const char* yes : {"-a", "-y"}) {
        SCOPED_TRACE(yes);
        ProcessResult kept = run_mog(folder.path(), {"--batch", yes, "-n", "7", "x.d64", "y.d64", "z.d64"});
        EXPECT_EQ(kept.out, "x.d64: kept, x.out.d64 is a link.\ny.d64: kept, y.out.d64 is a link.\n"
                            "z.d64: kept, z.out.d64 is a link.\n3 files: 0 changed, 0 unchanged, 3 kept, 0 failed.\n");
        EXPECT_EQ(kept.status, 5);
        for (const char* name : {"x.d64", "elsewhere/victim", "z.d64"})
            EXPECT_EQ(read_file(folder / name), disk) << name;
        EXPECT_FALSE(path_exists(folder / "nowhere"));
    }

    // Named, a link is followed: the file behind it is written.
    ProcessResult named = run_mog(folder.path(), {"--in-place", "-n", "7", "tree/c.d64"});
    EXPECT_EQ(named.status, 0);
    EXPECT_NE(read_file(folder / "elsewhere/ext.d64"), disk);
    struct stat info {};
    ASSERT_EQ(lstat((folder / "tree/c.d64").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// Interrupted, a batch finishes the file it is writing, gives its line and
// ends with its summary, and then as the signal would have ended it; its
// log in a file holds no cut line.
TEST(CollectionProcess, InterruptedBatchLeavesAWholeLog) {
    SKIP_UNDER_RUNNER("the signal is raised from POSIX's C library");
    const std::string disk = disk_with_archive(sda_program(9, ARCHIVED));
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        for (bool json : {false, true}) {
            SCOPED_TRACE(std::to_string(signal_number) + (json ? " json" : " text"));
            TempFolder folder;
            mkdir((folder / "wide").c_str(), 0755);
            for (const char* name : {"a.d64", "b.d64", "c.d64"})
                write_file(folder / ("wide/" + std::string(name)), disk);
            RunSettings settings;
            settings.environment = {{"LD_PRELOAD", MOG_FAULT_PRELOAD},
                                    {"MOG_RAISE_AT_RENAME", std::to_string(signal_number)},
                                    {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
            settings.output_file = folder / "log";
            write_file(settings.output_file, "");
            std::vector<std::string> arguments = {"--in-place", "-n", "7", "wide"};
            if (json)
                arguments.push_back("--json");
            ProcessResult result = run_mog(folder.path(), arguments, settings);
            EXPECT_EQ(result.status, 128 + signal_number);
            const std::string log = read_file(folder / "log");
            if (json) {
                std::vector<JsonValue> records;
                std::string error;
                ASSERT_TRUE(parse_json_lines(log, records, error)) << error << log;
                ASSERT_EQ(records.size(), 4u);
                EXPECT_EQ(records[2]["written"].string, "wide/a.d64");
                EXPECT_EQ(records[3]["record"].string, "summary");
                EXPECT_EQ(records[3]["files"].number, 1);
                EXPECT_TRUE(records[3]["interrupted"].boolean);
            } else {
                EXPECT_EQ(log, "wide/a.d64: 1 program changed.\n"
                               "1 files: 1 changed, 0 unchanged, 0 kept, 0 failed. (interrupted)\n");
            }
            EXPECT_NE(read_file(folder / "wide/a.d64"), disk);
            EXPECT_EQ(read_file(folder / "wide/b.d64"), disk);
            EXPECT_EQ(folder_entries(folder / "wide"), (std::vector<std::string>{"a.d64", "b.d64", "c.d64"}));
        }
    }
}

// Killed outright, which no handler sees, a batch leaves in its log the
// whole line of each file already in place: each file's line goes out as
// the file is done.
TEST(CollectionProcess, KilledBatchLeavesTheLinesOfTheFilesDone) {
    SKIP_UNDER_RUNNER("the signal is raised from POSIX's C library");
    const std::string disk = disk_with_archive(sda_program(9, ARCHIVED));
    TempFolder folder;
    mkdir((folder / "wide").c_str(), 0755);
    for (char name = 'a'; name <= 'j'; ++name)
        write_file(folder / ("wide/" + std::string(1, name) + ".d64"), disk);
    RunSettings settings;
    settings.environment = {{"LD_PRELOAD", MOG_FAULT_PRELOAD},
                            {"MOG_RAISE_AT_RENAME", std::to_string(SIGKILL)},
                            {"MOG_RENAMES_BEFORE_RAISE", "6"},
                            {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
    settings.output_file = folder / "log";
    write_file(settings.output_file, "");
    ProcessResult result = run_mog(folder.path(), {"--in-place", "-n", "7", "wide"}, settings);
    EXPECT_EQ(result.status, 128 + SIGKILL);
    std::string lines;
    for (char name = 'a'; name <= 'g'; ++name) {
        const std::string file = "wide/" + std::string(1, name) + ".d64";
        EXPECT_EQ(read_file(folder / file) == disk, name == 'g') << file;
        if (name != 'g')
            lines += file + ": 1 program changed.\n";
    }
    EXPECT_EQ(read_file(folder / "log"), lines);
}

// A check passes only what it could check: a file without a start line, or
// with a warning, fails it, alone or in a batch; an image of one of its
// format's whole layouts passes with its size warning.
TEST(CollectionProcess, CheckFailsWhatItCouldNotCheck) {
    std::string random(174848, '\0');
    unsigned state = 1;
    for (char& byte : random) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 16);
    }
    std::string loop = blank_image();
    put_entry(loop, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(loop, 17, 0, sys_program(2026));
    link_sector(loop, 18, 1, 18, 1);
    std::string good = blank_image();
    put_entry(good, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(good, 17, 0, sys_program(2026));
    std::string error_bytes = good + std::string(683, '\x01');
    std::string forty_tracks = blank_image(196608);
    forty_tracks.replace(0, good.size(), good);
    struct Case {
        const char* name;
        std::string bytes;
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"empty.d64", "", 4,
         "empty.d64: WARNING: Size of d64 seems invalid. It is 0 but should be 174848.\n"
         "empty.d64: WARNING: Directory chain broken at track 18 sector 0.\nempty.d64: no start line.\n"},
        {"random.d64", random, 4, ""},
        {"half.d64", good.substr(0, 87424), 4,
         "half.d64: WARNING: Size of d64 seems invalid. It is 87424 but should be 174848.\n"
         "half.d64: WARNING: Directory chain broken at track 18 sector 0.\nhalf.d64: no start line.\n"},
        {"zero.d81", std::string(819200, '\0'), 4, "zero.d81: no start line.\n"},
        {"loop.d64", loop, 4, "loop.d64: WARNING: Directory chain broken at track 18 sector 1.\n"},
        {"data.prg", "just some text", 4, "data.prg: no start line.\n"},
        {"c128.prg", sys_program(2026, "7181", 0x1C01), 4, "c128.prg: no start line.\n"},
        {"bad.p00", sys_program(2026), 4, "bad.p00: no start line.\n"},
        {"tape.t64", tape_image({}, 2), 4, "tape.t64: no start line.\n"},
        {"good.d64", good, 0, ""},
        {"errors.d64", error_bytes, 0,
         "errors.d64: WARNING: Size of d64 seems invalid. It is 175531 but should be 174848.\n"},
        {"forty.d64", forty_tracks, 0,
         "forty.d64: WARNING: Size of d64 seems invalid. It is 196608 but should be 174848.\n"},
        {"forty-errors.d64", forty_tracks + std::string(768, '\x01'), 0,
         "forty-errors.d64: WARNING: Size of d64 seems invalid. It is 197376 but should be 174848.\n"},
        {"ok.prg", sys_program(2026), 0, ""},
    };
    TempFolder folder;
    std::vector<std::string> batch = {"--check", "--batch", "-n", "2026"};
    std::string batch_out;
    int failing = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_file(folder / c.name, c.bytes);
        ProcessResult single = run_mog(folder.path(), {"--check", "-n", "2026", c.name});
        EXPECT_EQ(single.status, c.status);
        EXPECT_EQ(single.err, "");
        if (!c.out.empty() || c.status == 0) {
            EXPECT_EQ(single.out, c.out);
        }
        ProcessResult json = run_mog(folder.path(), {"--check", "--json", "-n", "2026", c.name});
        EXPECT_EQ(json.status, c.status);
        EXPECT_NE(json.out.find("\"status\":" + std::to_string(c.status) + "}\n"), std::string::npos) << json.out;
        batch.push_back(c.name);
        batch_out += single.out;
        failing += c.status != 0;
    }
    // The failing files are not the last ones, and one that cannot be read
    // fails the batch above them all.
    ProcessResult all = run_mog(folder.path(), batch);
    EXPECT_EQ(all.status, 4);
    EXPECT_EQ(all.out, batch_out + std::to_string(cases.size()) + " files: 0 lacking, 5 without a start line, 4 damaged.\n");
    batch.insert(batch.begin() + 4, "missing.d64");
    const ProcessResult with_missing = run_mog(folder.path(), batch);
    EXPECT_EQ(with_missing.status, 3);
    EXPECT_NE(with_missing.out.find("15 files: 0 lacking, 5 without a start line, 4 damaged, 1 failed.\n"),
              std::string::npos);
    EXPECT_GT(failing, 0);
}

// Real collections hold .p64 files, flux-level images, and .lnx ROM images
// of another system: found in a folder, a name like a PC64 file's without
// its header, or a Lynx archive's without its signature, is passed over and
// counted nowhere; named, it fails as it always did.
TEST(CollectionProcess, OtherFilesWithPc64NamesArePassedOver) {
    TempFolder folder;
    mkdir((folder / "tree").c_str(), 0755);
    write_file(folder / "tree/flux.p64", "P64-1541 flux image");
    write_file(folder / "tree/rom.lnx", std::string("LYNX\0\2\0\1", 8) + std::string(600, '\xEA'));
    write_file(folder / "tree/game.prg", sys_program(10));
    ProcessResult found = run_mog(folder.path(), {"--in-place", "-n", "7", "tree"});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, "tree/game.prg: 1 program changed.\n1 files: 1 changed, 0 unchanged, 0 kept, 0 failed.\n");
    EXPECT_EQ(found.err, "");
    ProcessResult named = run_mog(folder.path(), {"--in-place", "-n", "7", "tree/flux.p64"});
    EXPECT_EQ(named.status, 3);
    EXPECT_EQ(named.err, "tree/flux.p64: ERROR: Not a P00 file!\n");
    EXPECT_EQ(run_mog(folder.path(), {"-n", "7", "tree/flux.p64"}).status, 2);
    ProcessResult rom = run_mog(folder.path(), {"-n", "7", "tree/rom.lnx"});
    EXPECT_EQ(rom.status, 2);
    EXPECT_EQ(rom.err, "ERR: Not a Lynx archive!");
}

// Asked for each program, a run shows where the directory broke after the
// questions, where a listing shows it; warnings about the whole file come
// before them.
TEST(CollectionProcess, DirectoryWarningsFollowTheQuestions) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(image, 17, 0, sys_program(10));
    link_sector(image, 18, 1, 99, 1);
    std::string cut = image.substr(0, sector_offset(18, 0) + 1);
    TempFolder folder;
    write_file(folder / "broken.d64", image);
    write_file(folder / "cut.d64", cut);
    ProcessResult broken = run_mog(folder.path(), {"-i", "-n", "5", "broken.d64", "a.d64"}, answers("\n"));
    EXPECT_EQ(broken.out, "Enter line number for each program or <enter> for no change.\n\nGAME             (10): "
                          "WARNING: Directory chain broken at track 99 sector 1.\nDone.\n");
    ProcessResult anchor = run_mog(folder.path(), {"-i", "-n", "5", "cut.d64", "b.d64"});
    EXPECT_EQ(anchor.out, "WARNING: Size of d64 seems invalid. It is 91393 but should be 174848.\n\n"
                          "Enter line number for each program or <enter> for no change.\n\n"
                          "WARNING: Directory chain broken at track 18 sector 0.\nDone.\n");
}

// On Windows a folder named with its own separator gives names with that
// separator alone: "sub\\" gives "sub\\f.prg", "sub" gives "sub/f.prg".
TEST(CollectionProcess, FolderNamesKeepTheSeparatorGiven) {
    if (tool_runner().empty())
        GTEST_SKIP() << "only the Windows build takes a backslash as a separator";
    TempFolder folder;
    mkdir((folder / "sub").c_str(), 0755);
    write_file(folder / "sub/f.prg", sys_program(10));
    for (const char* name : {"sub\\", "sub/", "sub"}) {
        const std::string given = name;
        const std::string shown = given.back() == '\\' || given.back() == '/' ? given + "f.prg" : given + "/f.prg";
        ProcessResult result = run_mog(folder.path(), {"--batch", "-q", "-v", name});
        EXPECT_EQ(result.out, shown + ":\n10 SYS2061\n1 files: 0 changed, 1 unchanged, 0 kept, 0 failed.\n") << name;
    }
}

// One buffer serves every file of a batch: a short or cut file after a long
// one is read as it is, with nothing of the one before; a tape cut right
// after its directory has no program to change, and says so.
TEST(CollectionProcess, EachFileIsReadAsItIsAfterALongerOne) {
    const std::string sample = read_file(std::string(MOG_SOURCE_DIR) + "/samples/sample.d81");
    std::string cut = blank_image();
    put_entry(cut, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(cut, 17, 0, sys_program(10));
    cut.resize(sector_offset(18, 2));
    std::string tape = tape_image({{1, 0x0801, "GAME", sys_program(10).substr(2)}});
    tape.resize(64 + 32);
    TempFolder folder;
    write_file(folder / "a.d81", sample);
    write_file(folder / "b.prg", sys_program(10));
    write_file(folder / "c.d64", cut);
    write_file(folder / "d.t64", tape);
    ProcessResult result = run_mog(folder.path(), {"--in-place", "-n", "7", "a.d81", "b.prg", "c.d64", "d.t64"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "a.d81: 1 program changed.\nb.prg: 1 program changed.\n"
                          "c.d64: WARNING: Size of d64 seems invalid. It is " +
                              std::to_string(cut.size()) +
                              " but should be 174848.\nc.d64: 1 program changed.\n"
                              "d.t64: WARNING: Tape cut short: the data of 1 entry lies beyond its end.\n"
                              "d.t64: nothing changed.\n"
                              "4 files: 3 changed, 1 unchanged, 0 kept, 0 failed.\n");
    std::string program = sys_program(10);
    program.replace(4, 2, line_bytes(7));
    EXPECT_EQ(read_file(folder / "b.prg"), program);
    cut.replace(sector_offset(17, 0) + 6, 2, line_bytes(7));
    EXPECT_EQ(read_file(folder / "c.d64"), cut);
    EXPECT_EQ(read_file(folder / "d.t64"), tape);
    // The entry that ends where the file ends is listed, without a start line.
    EXPECT_EQ(run_mog(folder.path(), {"-q", "-v", "d.t64"}).out,
              "WARNING: Tape cut short: the data of 1 entry lies beyond its end.\n\nGAME             \n");
}

// A destination named through a relative link in a subfolder is the file
// the link leads to, found from the link's own folder; the link stays.
TEST(CollectionProcess, RelativeLinksLeadFromTheirOwnFolder) {
    SKIP_UNDER_RUNNER("symbolic links of POSIX");
    TempFolder folder;
    mkdir((folder / "d").c_str(), 0755);
    write_file(folder / "game.prg", sys_program(10));
    write_file(folder / "d/real.prg", "old");
    write_file(folder / "real.prg", "not this one");
    ASSERT_EQ(symlink("real.prg", (folder / "d/link.prg").c_str()), 0);
    ProcessResult result = run_mog(folder.path(), {"-y", "-n", "9", "game.prg", "d/link.prg"});
    EXPECT_EQ(result.status, 0);
    std::string program = sys_program(10);
    program.replace(4, 2, line_bytes(9));
    EXPECT_EQ(read_file(folder / "d/real.prg"), program);
    EXPECT_EQ(read_file(folder / "real.prg"), "not this one");
    struct stat info {};
    ASSERT_EQ(lstat((folder / "d/link.prg").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(folder_entries(folder / "d"), (std::vector<std::string>{"link.prg", "real.prg"}));
}

RunSettings with_faults(const std::vector<std::pair<std::string, std::string>>& faults) {
    RunSettings settings;
    settings.environment = {{"LD_PRELOAD", MOG_FAULT_PRELOAD}, {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
    settings.environment.insert(settings.environment.end(), faults.begin(), faults.end());
    return settings;
}

// A signal the caller set to be ignored, as nohup and a script's background
// jobs do, does not end a batch.
TEST(CollectionProcess, IgnoredSignalsStayIgnored) {
    SKIP_UNDER_RUNNER("the signal is raised from POSIX's C library");
    const std::string disk = disk_with_archive(sda_program(9, ARCHIVED));
    for (int signal_number : {SIGHUP, SIGINT, SIGPIPE}) {
        SCOPED_TRACE(signal_number);
        TempFolder folder;
        mkdir((folder / "wide").c_str(), 0755);
        for (const char* name : {"a.d64", "b.d64"})
            write_file(folder / ("wide/" + std::string(name)), disk);
        RunSettings settings = with_faults({{"MOG_RAISE_AT_RENAME", std::to_string(signal_number)}});
        settings.ignored_signals = {signal_number};
        ProcessResult result = run_mog(folder.path(), {"--in-place", "-n", "7", "wide"}, settings);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "wide/a.d64: 1 program changed.\nwide/b.d64: 1 program changed.\n"
                              "2 files: 2 changed, 0 unchanged, 0 kept, 0 failed.\n");
    }
}

// What a folder search found is read and written only as what it was: a
// link put in its place since is not followed, nor one put in the place of
// a folder of its path (the folder itself moved aside); named, a link is. A
// destination that appears while a batch writes it stays.
TEST(CollectionProcess, WhatAppearsDuringABatchIsNotWrittenThrough) {
    SKIP_UNDER_RUNNER("the faults are injected into POSIX's C library");
    const std::string program = sys_program(10);
    std::string stamped = program;
    stamped.replace(4, 2, line_bytes(7));
    struct Case {
        const char* label;
        std::vector<std::string> arguments;
        std::vector<std::pair<std::string, std::string>> faults;
        int status;
        std::string err;
        std::string outside;  // what outside.prg holds afterwards
        std::string out_file; // what tree/a.out.prg holds afterwards; empty: nothing there
    };
    std::vector<Case> cases = {
        {"a found file became a link",
         {"--in-place", "-n", "7", "tree"},
         {{"MOG_LINK_AT_OPEN", "tree/a.prg:../outside.prg"}},
         3,
         "tree/a.prg: ERROR: Cannot read file 'tree/a.prg': Is a symbolic link.\n",
         program,
         ""},
        {"a named file became a link",
         {"--in-place", "-n", "7", "tree/a.prg"},
         {{"MOG_LINK_AT_OPEN", "tree/a.prg:../outside.prg"}},
         0,
         "",
         stamped,
         ""},
        {"a found file became a link after it was read",
         {"--in-place", "-n", "7", "tree"},
         {{"MOG_LINK_AFTER_READ", "tree/a.prg:../outside.prg"}},
         3,
         "tree/a.prg: ERROR: Cannot write file 'tree/a.prg': Is a symbolic link.\n",
         program,
         ""},
        {"a named file became a link after it was read: it changed while being read",
         {"--in-place", "-n", "7", "tree/a.prg"},
         {{"MOG_LINK_AFTER_READ", "tree/a.prg:../outside.prg"}},
         3,
         "",
         program,
         ""},
        {"a destination appeared",
         {"--batch", "-n", "7", "tree"},
         {{"MOG_APPEAR", "tree/a.out.prg"}},
         3,
         "tree/a.prg: ERROR: Cannot write file 'tree/a.out.prg': File exists.\n",
         program,
         "appeared"},
    };
    const std::string folder_replaced = "tree/sub/b.prg: ERROR: Cannot write file 'tree/sub/b.prg': A folder of its "
                                        "path was replaced.\n";
    for (const char* moment : {"MOG_FOLDER_LINK_AT_OPEN", "MOG_FOLDER_LINK_AFTER_READ", "MOG_FOLDER_LINK_AT_FLUSH"})
        cases.push_back({moment, {"--in-place", "-n", "7", "tree"}, {{moment, "tree/sub:../elsewhere"}}, 3,
                         folder_replaced, program, ""});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        for (const char* name : {"tree", "tree/sub", "elsewhere"})
            mkdir((folder / name).c_str(), 0755);
        for (const char* name : {"tree/a.prg", "tree/sub/b.prg", "elsewhere/b.prg", "outside.prg"})
            write_file(folder / name, program);
        ProcessResult result = run_mog(folder.path(), c.arguments, with_faults(c.faults));
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(read_file(folder / "outside.prg"), c.outside);
        EXPECT_EQ(read_file(folder / "elsewhere/b.prg"), program);
        EXPECT_EQ(folder_entries(folder / "elsewhere"), std::vector<std::string>{"b.prg"});
        EXPECT_EQ(path_exists(folder / "tree/a.out.prg"), !c.out_file.empty());
        if (!c.out_file.empty()) {
            EXPECT_EQ(read_file(folder / "tree/a.out.prg"), c.out_file);
        }
    }
}

// A file another program is still writing, as a copy or a download does, is
// never replaced: it is kept, its line says why, and the batch fails so that
// it runs again.
TEST(CollectionProcess, FileBeingWrittenIsKept) {
    TempFolder folder;
    mkdir((folder / "tree").c_str(), 0755);
    const std::string program = sys_program(10);
    write_file(folder / "tree/a.prg", program);
    std::atomic<bool> writing{false}, done{false};
    std::thread writer([&] {
        const int fd = open((folder / "tree/a.prg").c_str(), O_WRONLY | O_APPEND);
        writing = fd < 0; // the checks below then fail instead of waiting
        while (!done && write(fd, "x", 1) == 1) {
            writing = true;
            usleep(100);
        }
        close(fd);
    });
    while (!writing)
        usleep(100);
    const ProcessResult result = run_mog(folder.path(), {"--in-place", "-n", "7", "tree"});
    done = true;
    writer.join();
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out.rfind("tree/a.prg: kept, it ", 0), 0u) << result.out;
    EXPECT_EQ(read_file(folder / "tree/a.prg").substr(0, program.size()), program);
}

} // namespace
