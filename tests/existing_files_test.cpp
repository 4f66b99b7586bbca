// What exists stays as it was: destinations that are no regular file,
// files the user may not read, crashes and signals during the write, and
// sources of any kind and size.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

#include "image_builder.h"
#include "process_runner.h"

namespace {

const std::string QUESTION = "Destination file already exists!\nPress <y> to overwrite, any other to cancel. ";

// A file of the size that takes no room on the disk.
bool sparse_file(const std::string& path, off_t size) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool made = fd >= 0 && ftruncate(fd, size) == 0;
    close(fd);
    return made;
}

mode_t type_of(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// Writing would put a regular file in the place of a device, a FIFO or a
// folder: refused before the question, also with -y.
TEST(ExistingFiles, DestinationsThatAreNoRegularFileAreRefused) {
    struct Case {
        const char* label;
        bool (*make)(const std::string& folder); // false: not possible here
        bool posix_only;
    };
    const std::vector<Case> cases = {
        {"FIFO", [](const std::string& f) { return mkfifo((f + "/out.prg").c_str(), 0644) == 0; }, true},
        {"device",
         [](const std::string& f) { return mknod((f + "/out.prg").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
         true},
        {"link to a device",
         [](const std::string& f) {
             return mknod((f + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                    symlink("null", (f + "/out.prg").c_str()) == 0;
         },
         true},
        {"folder", [](const std::string& f) { return mkdir((f + "/out.prg").c_str(), 0755) == 0; }, false},
    };
    for (const auto& c : cases) {
        for (bool without_asking : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (without_asking ? " with -y" : ""));
            if (c.posix_only && !tool_runner().empty())
                continue;
            TempFolder folder;
            write_file(folder / "game.prg", sys_program(10));
            if (!c.make(folder.path())) {
                std::printf("not run: %s cannot be made here\n", c.label);
                continue;
            }
            const std::vector<std::string> before = folder_entries(folder.path());
            const mode_t kind = type_of(folder / "out.prg");
            RunSettings settings;
            settings.input = "y\n";
            std::vector<std::string> arguments = {"-n", "5", "game.prg", "out.prg"};
            if (without_asking)
                arguments.insert(arguments.begin(), "-y");
            ProcessResult result = run_mog(folder.path(), arguments, settings);
            EXPECT_EQ(result.status, 3);
            EXPECT_EQ(result.err, "ERROR: Cannot write file 'out.prg': Not a regular file.\n");
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(folder_entries(folder.path()), before);
            EXPECT_EQ(type_of(folder / "out.prg"), kind);
        }
    }
}

// View mode writes nothing, so a destination that is no regular file is
// only asked about, like any other, and stays as it is.
TEST(ExistingFiles, ViewModeOnlyAsksAboutADestinationThatIsNoRegularFile) {
    struct Case {
        const char* label;
        int (*make)(const char* path);
        bool posix_only;
    };
    const Case cases[] = {
        {"FIFO", [](const char* p) { return mkfifo(p, 0644); }, true},
        {"folder", [](const char* p) { return mkdir(p, 0755); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.posix_only && !tool_runner().empty())
            continue;
        TempFolder folder;
        write_file(folder / "game.d64", blank_image());
        ASSERT_EQ(c.make((folder / "out.d64").c_str()), 0);
        const mode_t kind = type_of(folder / "out.d64");
        RunSettings settings;
        settings.input = "y\n";
        ProcessResult result = run_mog(folder.path(), {"-v", "game.d64", "out.d64"}, settings);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out,
                  QUESTION + "\nOverwrite activated!\n\nCurrent year: " + std::to_string(current_year()) + "\nDone.\n");
        EXPECT_EQ(type_of(folder / "out.d64"), kind);
        EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"game.d64", "out.d64"}));
    }
}

// Anything at the name counts as existing, even what cannot be read; a
// link loop leads to no file that could be written and is refused at once.
TEST(ExistingFiles, AnythingAtTheDestinationIsAskedFor) {
    SKIP_UNDER_RUNNER("POSIX permissions and symbolic links");
    struct Case {
        const char* label;
        std::string input;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"unreadable file, no answer", "", 5, ""},
        {"link loop, no answer", "", 3, "ERROR: Cannot write file 'out.prg': Too many levels of symbolic links.\n"},
        {"link loop, y", "y\n", 3, "ERROR: Cannot write file 'out.prg': Too many levels of symbolic links.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        open_to_everyone(folder.path());
        write_file(folder / "game.prg", sys_program(10));
        const bool loop = std::string(c.label).find("loop") != std::string::npos;
        if (loop) {
            ASSERT_EQ(symlink("out.prg", (folder / "out.prg").c_str()), 0);
        } else {
            write_file(folder / "out.prg", "keep");
            chmod((folder / "out.prg").c_str(), 0222); // others may write but not read
        }
        RunSettings settings;
        settings.input = c.input;
        settings.unprivileged = true;
        ProcessResult result = run_mog(folder.path(), {"-n", "5", "game.prg", "out.prg"}, settings);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, loop ? "" : QUESTION);
        EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"game.prg", "out.prg"}));
        if (loop) {
            EXPECT_EQ(type_of(folder / "out.prg"), static_cast<mode_t>(S_IFLNK));
        } else {
            EXPECT_EQ(read_file(folder / "out.prg"), "keep");
        }
    }
}

// What existed is only given up once the new bytes are on the device; a new
// file risks nothing and is not waited for.
TEST(ExistingFiles, ReplacedFilesReachTheDeviceBeforeTheRename) {
    SKIP_UNDER_RUNNER("the calls are traced in POSIX's C library");
    for (bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "replacing" : "new");
        TempFolder folder;
        TempFolder logs;
        write_file(folder / "game.prg", sys_program(10));
        if (existing)
            write_file(folder / "out.prg", "old");
        RunSettings settings;
        settings.input = "y\n";
        settings.environment = {{"LD_PRELOAD", MOG_FAULT_PRELOAD},
                                {"MOG_TRACE", logs / "trace"},
                                {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
        ProcessResult result = run_mog(folder.path(), {"-n", "5", "game.prg", "out.prg"}, settings);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(read_file(logs / "trace"), existing ? "fsync file\nrename\nfsync folder\n" : "rename\n");
    }
}

// Signals that end the tool wait until the new file is in place: no
// temporary file is left, and the destination is whole.
TEST(ExistingFiles, SignalsDuringTheWriteWaitForTheRename) {
    SKIP_UNDER_RUNNER("the signal is raised from POSIX's C library");
    for (int signal_number : {SIGINT, SIGALRM, SIGUSR1, SIGUSR2, SIGPIPE}) {
        SCOPED_TRACE(signal_number);
        TempFolder folder;
        std::string program = sys_program(10);
        write_file(folder / "game.prg", program);
        write_file(folder / "out.prg", "old");
        RunSettings settings;
        settings.input = "y\n";
        settings.environment = {{"LD_PRELOAD", MOG_FAULT_PRELOAD},
                                {"MOG_RAISE_AT_RENAME", std::to_string(signal_number)},
                                {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
        ProcessResult result = run_mog(folder.path(), {"-n", "5", "game.prg", "out.prg"}, settings);
        EXPECT_EQ(result.status, 128 + signal_number);
        EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"game.prg", "out.prg"}));
        program.replace(4, 2, line_bytes(5));
        EXPECT_EQ(read_file(folder / "out.prg"), program);
    }
}

// A destination that was absent when the tool looked was not agreed to be
// replaced: one that appears while the answers are awaited stays as it is.
TEST(ExistingFiles, DestinationThatAppearsDuringTheRunStays) {
    SKIP_UNDER_RUNNER("a FIFO feeds the answers");
    const std::vector<std::pair<std::string, std::string>> link_instead = {
        {"LD_PRELOAD", MOG_FAULT_PRELOAD}, {"MOG_NO_RENAMEAT2", "1"}, {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
    for (const auto& environment : {std::vector<std::pair<std::string, std::string>>{}, link_instead}) {
        SCOPED_TRACE(environment.empty() ? "rename" : "hard link");
        TempFolder folder, pipes;
        std::string image = blank_image();
        put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
        put_program(image, 17, 0, sys_program(10));
        write_file(folder / "src.d64", image);
        ASSERT_EQ(mkfifo((pipes / "answers").c_str(), 0600), 0);
        write_file(pipes / "log", "");
        RunSettings settings;
        settings.input_file = pipes / "answers";
        settings.output_file = pipes / "log";
        settings.environment = environment;
        std::thread user([&] {
            int answers = open(settings.input_file.c_str(), O_WRONLY); // once the tool reads from it
            for (int wait = 0; wait < 1000 && read_file(pipes / "log").find("(10): ") == std::string::npos; ++wait)
                usleep(10000);
            write_file(folder / "new.d64", "IMPORTANT");
            (void)!write(answers, "7\n", 2);
            close(answers);
        });
        ProcessResult result = run_mog(folder.path(), {"-i", "src.d64", "new.d64"}, settings);
        user.join();
        EXPECT_EQ(result.status, 3);
        EXPECT_EQ(result.err, "ERROR: Cannot write file 'new.d64': File exists.\n");
        EXPECT_EQ(read_file(folder / "new.d64"), "IMPORTANT");
        EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"new.d64", "src.d64"}));
    }
}

// A source is only ever read if it is a regular file of a container's size:
// a FIFO would hang the tool, a device or a huge file never let it end.
TEST(ExistingFiles, SourcesThatAreNoContainerAreNotRead) {
    struct Case {
        const char* label;
        std::string name;
        bool (*make)(const std::string& path);
        std::string reason;
        bool posix_only;
    };
    const std::vector<Case> cases = {
        {"FIFO", "fifo.prg", [](const std::string& p) { return mkfifo(p.c_str(), 0644) == 0; }, "Not a regular file",
         true},
        {"link to /dev/zero", "z.prg", [](const std::string& p) { return symlink("/dev/zero", p.c_str()) == 0; },
         "Not a regular file", true},
        {"3 GiB sparse image", "big.d64", [](const std::string& p) { return sparse_file(p, 3LL << 30); },
         "File too large", false},
        // Taken modulo 4 GiB, the size would be 100 bytes.
        {"4 GiB and 100 bytes", "huge.d64", [](const std::string& p) { return sparse_file(p, (4LL << 30) + 100); },
         "File too large", false},
        {"one byte over 16 MiB", "over.d81", [](const std::string& p) { return sparse_file(p, (16 << 20) + 1); },
         "File too large", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.posix_only && !tool_runner().empty())
            continue;
        TempFolder folder;
        ASSERT_TRUE(c.make(folder / c.name));
        ProcessResult result = run_mog(folder.path(), {"-v", c.name});
        EXPECT_EQ(result.status, 3);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "ERROR: Cannot read file '" + c.name + "': " + c.reason + ".\n");
    }
    TempFolder folder; // a container of exactly 16 MiB is still read
    ASSERT_TRUE(sparse_file(folder / "edge.d81", 16 << 20));
    EXPECT_EQ(run_mog(folder.path(), {"-v", "edge.d81"}).status, 0);
}

// A full disk is reported with the system's own reason.
TEST(ExistingFiles, FullDiskIsReportedWithItsReason) {
    TempFolder folder;
    const std::string small = folder / "small";
    mkdir(small.c_str(), 0755);
    if (mount("mog-test", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const std::string image = blank_image();
    write_file(folder / "game.d64", image);
    ProcessResult result = run_mog(folder.path(), {"-n", "5", "game.d64", "small/out.d64"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "ERROR: Cannot write file 'small/out.d64': No space left on device.\n");
    EXPECT_TRUE(folder_entries(small).empty());
    umount(small.c_str());
}

} // namespace
