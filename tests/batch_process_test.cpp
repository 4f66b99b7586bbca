// Whole collections in one run: --batch and --in-place over files and
// folders, through the whole process.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "image_builder.h"
#include "process_runner.h"

namespace {

const std::string SOURCE_DIR = MOG_SOURCE_DIR;

std::string two_program_disk(unsigned line_number) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_entry(image, 18, 1, 1, FILE_PRG, 17, 1, "BETA");
    put_program(image, 17, 0, sys_program(line_number));
    put_program(image, 17, 1, sys_program(line_number, " 4096"));
    return image;
}

// The content with every start line's number set, found where a start line
// at $0801 stands: the load address, the link, the number, SYS.
std::string with_numbers(std::string content, std::size_t programs, unsigned number) {
    std::size_t found = 0;
    for (std::size_t at = 0; at + 7 <= content.size(); ++at)
        if (content.compare(at, 2, "\x01\x08") == 0 && content[at + 6] == '\x9E') {
            content.replace(at + 4, 2, line_bytes(number));
            ++found;
        }
    EXPECT_EQ(found, programs);
    return content;
}

constexpr time_t OLD_TIME = 978307200; // 2001-01-01

void make_old(const std::string& path) {
    timespec times[2] = {{OLD_TIME, 0}, {OLD_TIME, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

time_t modified(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mtime;
}

struct TreeFile {
    std::string path;       // within the run's folder
    std::string content;    // written there; empty for what the row makes itself
    std::string line;       // what the batch says of it, on standard output
    std::string error;      // or on standard error
    std::size_t programs;   // start lines the run changes
    std::string after = ""; // the content afterwards, where searching for start lines cannot find it
};

// Every outcome a file can have, in one tree, in the order the batch takes
// them: changed, unchanged, and each kind of failure; files it passes over
// keep their bytes and time, as do all files a second run sees.
TEST(BatchProcess, InPlaceChangesWhatCarriesAnotherNumberAndReportsEachFile) {
    SKIP_UNDER_RUNNER("FIFOs and file times of POSIX");
    const std::string fixtures = SOURCE_DIR + "/tests/fixtures/";
    auto tape = [](unsigned first, unsigned second) {
        return tape_image(
            {{1, 0x0801, "ONE", sys_program(first).substr(2)}, {1, 0x0801, "TWO", sys_program(second).substr(2)}});
    };
    const std::vector<TreeFile> files = {
        {"tree/a.d64", two_program_disk(10), "tree/a.d64: 2 programs changed.", "", 2},
        {"tree/a.out.d64", two_program_disk(10), "", "", 0},
        {"tree/bad.p00", sys_program(10), "", "", 0}, // no PC64 file: found in a folder, passed over
        {"tree/big.d81", "", "", "tree/big.d81: ERROR: Cannot read file 'tree/big.d81': File too large.", 0},
        {"tree/done.d64", two_program_disk(1999), "tree/done.d64: nothing changed.", "", 0},
        {"tree/fifo.D64", "", "", "tree/fifo.D64: ERROR: Cannot read file 'tree/fifo.D64': Not a regular file.", 0},
        {"tree/loader.prg", read_file(fixtures + "c128.prg"),
         "tree/loader.prg: nothing changed (Unexpected startadress 1c01!)", "", 0},
        {"tree/notes.txt", "text", "", "", 0},
        {"tree/one.P00", read_file(fixtures + "one.p00"), "tree/one.P00: 1 program changed.", "", 1},
        {"tree/sub/b.d81", read_file(fixtures + "cc1541.d81"), "tree/sub/b.d81: 8 programs changed.", "", 8},
        {"tree/sub/deeper/c.t64", tape(5, 6), "tree/sub/deeper/c.t64: 2 programs changed.", "", 2, tape(1999, 1999)},
        {"elsewhere/linked.d64", two_program_disk(10), "", "", 0}, // only behind a link to its folder
        {"missing.d64", "", "", "missing.d64: ERROR: File 'missing.d64' not found.", 0},
        {"tree/notes.txt", "", "", "tree/notes.txt: ERROR: Unknown extension of source file.", 0},
        {"tree/a.out.d64", "", "tree/a.out.d64: 2 programs changed.", "", 2}, // named, so taken
    };
    TempFolder folder;
    for (const char* sub : {"/tree", "/tree/sub", "/tree/sub/deeper", "/elsewhere"})
        mkdir((folder.path() + sub).c_str(), 0755);
    ASSERT_EQ(symlink("../elsewhere", (folder / "tree/link").c_str()), 0);
    ASSERT_EQ(mkfifo((folder / "tree/fifo.D64").c_str(), 0644), 0);
    write_file(folder / "tree/big.d81", "");
    ASSERT_EQ(truncate((folder / "tree/big.d81").c_str(), (16 << 20) + 1), 0);
    for (const auto& file : files)
        if (!file.content.empty())
            write_file(folder / file.path, file.content);
    for (const auto& file : files)
        make_old(folder / file.path);

    const std::vector<std::string> arguments = {"--in-place", "-n",          "1999",           "tree",
                                                "tree/a.d64", "missing.d64", "tree/notes.txt", "tree/a.out.d64"};
    ProcessResult result = run_mog(folder.path(), arguments);
    std::string out, err;
    for (const auto& file : files) {
        out += file.line.empty() ? "" : file.line + "\n";
        err += file.error.empty() ? "" : file.error + "\n";
    }
    EXPECT_EQ(result.out, out + "11 files: 5 changed, 2 unchanged, 0 kept, 4 failed.\n");
    EXPECT_EQ(result.err, err);
    EXPECT_EQ(result.status, 3);
    // Exactly the line numbers of the files changed, under any of their names.
    for (const auto& file : files) {
        if (file.content.empty())
            continue;
        SCOPED_TRACE(file.path);
        std::size_t programs = 0;
        for (const auto& other : files)
            programs += other.path == file.path ? other.programs : 0;
        std::string expected = programs == 0 ? file.content : file.after;
        EXPECT_EQ(read_file(folder / file.path),
                  expected.empty() ? with_numbers(file.content, programs, 1999) : expected);
        EXPECT_EQ(modified(folder / file.path) == OLD_TIME, programs == 0);
    }
    EXPECT_EQ(folder_entries(folder / "tree"),
              (std::vector<std::string>{"a.d64", "a.out.d64", "bad.p00", "big.d81", "done.d64", "fifo.D64", "link",
                                        "loader.prg", "notes.txt", "one.P00", "sub"}));

    // A second identical run writes nothing.
    for (const auto& file : files)
        make_old(folder / file.path);
    ProcessResult again = run_mog(folder.path(), arguments);
    EXPECT_EQ(again.status, 3);
    EXPECT_EQ(again.out.substr(again.out.rfind('\n', again.out.size() - 2) + 1),
              "11 files: 0 changed, 7 unchanged, 0 kept, 4 failed.\n");
    for (const auto& file : files) {
        if (!file.content.empty()) {
            EXPECT_EQ(modified(folder / file.path), OLD_TIME) << file.path;
        }
    }
}

// Without --in-place each change goes to <name>.out.<ext>; one that exists
// is kept unless -y replaces it.
TEST(BatchProcess, DefaultDestinationsAreKeptUnlessYesReplacesThem) {
    TempFolder folder;
    const std::string disk = two_program_disk(10), program = sys_program(10);
    write_file(folder / "a.d64", disk);
    write_file(folder / "a.out.d64", "old");
    write_file(folder / "g.prg", program);
    ProcessResult kept = run_mog(folder.path(), {"--batch", "-n", "7", "a.d64", "g.prg"});
    EXPECT_EQ(kept.status, 5);
    EXPECT_EQ(kept.out, "a.d64: kept, a.out.d64 exists.\n"
                        "g.prg: 1 program changed, written to g.out.prg.\n"
                        "2 files: 1 changed, 0 unchanged, 1 kept, 0 failed.\n");
    EXPECT_EQ(read_file(folder / "a.out.d64"), "old");
    EXPECT_EQ(read_file(folder / "g.out.prg"), with_numbers(program, 1, 7));

    ProcessResult replaced = run_mog(folder.path(), {"--batch", "-y", "-n", "7", "a.d64"});
    EXPECT_EQ(replaced.status, 0);
    EXPECT_EQ(replaced.out, "a.d64: 2 programs changed, written to a.out.d64.\n"
                            "1 files: 1 changed, 0 unchanged, 0 kept, 0 failed.\n");
    EXPECT_EQ(read_file(folder / "a.out.d64"), with_numbers(disk, 2, 7));
    EXPECT_EQ(read_file(folder / "a.d64"), disk);
}

// With -v each file's listing follows its name, as one run lists it; the
// year is told once; JSON ends with a summary, and each file's record has
// the status the file alone would end with.
TEST(BatchProcess, ListingsAndRecordsForEachFile) {
    TempFolder folder;
    std::string looped = two_program_disk(10);
    link_sector(looped, 18, 1, 18, 1);
    write_file(folder / "a.d64", looped);
    write_file(folder / "g.prg", sys_program(11));
    write_file(folder / "l.prg", sys_program(10, "7169", 0x1C01));
    ProcessResult listing = run_mog(folder.path(), {"--batch", "-v", "a.d64", "g.prg", "l.prg"});
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(listing.out, "Current year: " + std::to_string(current_year()) +
                               "\na.d64:\nALPHA            [10 SYS2061]\nBETA             [10 SYS 4096]\n"
                               "WARNING: Directory chain broken at track 18 sector 1.\n"
                               "g.prg:\n11 SYS2061\nl.prg: no start line (Unexpected startadress 1c01!)\n"
                               "3 files: 0 changed, 3 unchanged, 0 kept, 0 failed.\n");
    ProcessResult json =
        run_mog(folder.path(), {"--batch", "--json", "-n", "11", "a.d64", "g.prg", "l.prg", "none.d64"});
    EXPECT_EQ(json.status, 3);
    EXPECT_EQ(json.err, "none.d64: ERROR: File 'none.d64' not found.\n");
    const std::string summary = "{\"record\":\"summary\",\"files\":4,\"changed\":1,\"unchanged\":2,\"kept\":0,"
                                "\"failed\":1}\n";
    ASSERT_GE(json.out.size(), summary.size());
    EXPECT_EQ(json.out.substr(json.out.size() - summary.size()), summary);
    EXPECT_NE(json.out.find("\"file\":\"l.prg\",\"kind\":\"prg\",\"size\":" + std::to_string(sys_program(10).size()) +
                            ",\"programs\":1,\"changed\":0,\"written\":null,\"warnings\":[],"
                            "\"error\":\"Unexpected startadress 1c01!\",\"crc32\":\""),
              std::string::npos);
    ProcessResult check = run_mog(folder.path(), {"--batch", "--check", "-n", "11", "g.prg", "a.d64"});
    EXPECT_EQ(check.status, 4);
}

// Two names of one file, and two files with one default destination: every
// name ends with the new lines, and no result replaces another.
TEST(BatchProcess, OneFileUnderTwoNamesAndTwoFilesForOneName) {
    SKIP_UNDER_RUNNER("hard links of POSIX");
    TempFolder folder;
    const std::string disk = two_program_disk(10);
    write_file(folder / "a.d64", disk);
    ASSERT_EQ(link((folder / "a.d64").c_str(), (folder / "b.d64").c_str()), 0);
    ProcessResult linked = run_mog(folder.path(), {"--in-place", "-n", "7", ".", "b.d64"});
    EXPECT_EQ(linked.out, "./a.d64: 2 programs changed.\n./b.d64: 2 programs changed.\n"
                          "2 files: 2 changed, 0 unchanged, 0 kept, 0 failed.\n");
    EXPECT_EQ(read_file(folder / "b.d64"), with_numbers(disk, 2, 7));
    EXPECT_EQ(
        run_mog(folder.path(), {"--in-place", "-n", "7", "."}).out,
        "./a.d64: nothing changed.\n./b.d64: nothing changed.\n2 files: 0 changed, 2 unchanged, 0 kept, 0 failed.\n");

    TempFolder cases;
    write_file(cases / "x.D64", disk);
    write_file(cases / "x.d64", two_program_disk(20));
    ProcessResult same = run_mog(cases.path(), {"--batch", "-y", "-n", "7", "."});
    EXPECT_EQ(same.status, 3);
    EXPECT_EQ(same.err,
              "./x.d64: ERROR: Cannot write file './x.out.d64': Another file of the batch was written there.\n");
    EXPECT_EQ(read_file(cases / "x.out.d64"), with_numbers(disk, 2, 7));
}

// Interrupted on its way, a batch leaves every file old or new, and no
// temporary file: the signal waits until the file being written is in place.
TEST(BatchProcess, InterruptionLeavesEveryFileOldOrNew) {
    SKIP_UNDER_RUNNER("the signal is raised from POSIX's C library");
    TempFolder folder;
    const std::string disk = two_program_disk(10);
    for (const char* name : {"a.d64", "b.d64", "c.d64"})
        write_file(folder / name, disk);
    RunSettings settings;
    settings.environment = {{"LD_PRELOAD", MOG_FAULT_PRELOAD},
                            {"MOG_RAISE_AT_RENAME", std::to_string(SIGTERM)},
                            {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
    ProcessResult result = run_mog(folder.path(), {"--in-place", "-n", "7", "."}, settings);
    EXPECT_EQ(result.status, 128 + SIGTERM);
    EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"a.d64", "b.d64", "c.d64"}));
    EXPECT_EQ(read_file(folder / "a.d64"), with_numbers(disk, 2, 7));
    EXPECT_EQ(read_file(folder / "b.d64"), disk);
    EXPECT_EQ(read_file(folder / "c.d64"), disk);
}

TEST(BatchProcess, InteractiveModeIsNoBatchMode) {
    TempFolder folder;
    for (const char* option : {"--batch", "--in-place"}) {
        ProcessResult result = run_mog(folder.path(), {"-i", option, "a.d64", "b.d64"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, std::string("ERROR: Options -i and ") + option + " don't go together.");
    }
}

} // namespace
