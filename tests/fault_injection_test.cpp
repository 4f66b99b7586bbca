// Faults of the file system and of standard input, through the whole
// process: each ends with its message and status, leaves no temporary file
// and keeps the source and any old destination byte for byte.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "image_builder.h"
#include "process_runner.h"

namespace {

struct Kind {
    const char* extension;
    std::string content;
};

// A PRG and a disk image.
std::vector<Kind> kinds() {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_program(image, 17, 0, sys_program(10));
    return {{"prg", sys_program(10) + std::string(5000, '\x33')}, {"d64", image}};
}

struct WriteFailure {
    const char* label;
    std::string destination; // empty: the source itself
    bool read_only_folder;
    bool size_limit; // a file-size limit stops the write half way
    std::string reason;
    bool read_only_file = false; // the file to be replaced may be read but not written
};

TEST(FaultInjection, FailedWriteReportsAndKeepsEveryOldByte) {
    const std::vector<WriteFailure> cases = {
        {"missing folder", "absent/out", false, false, "No such file or directory"},
        {"read-only folder", "out", true, false, "Permission denied"},
        {"read-only folder, source as destination", "", true, false, "Permission denied"},
        {"file-size limit", "out", false, true, "File too large"},
        {"file-size limit, source as destination", "", false, true, "File too large"},
        {"read-only destination", "out", false, false, "Permission denied", true},
        {"read-only source as destination", "", false, false, "Permission denied", true},
    };
    for (const auto& kind : kinds()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(kind.extension) + ": " + c.label);
            if (!tool_runner().empty() && (c.read_only_folder || c.size_limit || c.read_only_file)) {
                std::printf("not run under %s: %s (needs another user or a file-size limit)\n", tool_runner().c_str(),
                            c.label);
                continue;
            }
            TempFolder folder;
            open_to_everyone(folder.path());
            const std::string source = std::string("game.") + kind.extension;
            write_file(folder / source, kind.content);
            std::string destination = c.destination.empty() ? source : c.destination + "." + kind.extension;
            const bool old_destination = !c.destination.empty() && c.destination.find('/') == std::string::npos;
            const std::string old_bytes = "old bytes that must survive";
            if (old_destination)
                write_file(folder / destination, old_bytes);
            std::vector<std::string> before = folder_entries(folder.path());
            if (c.read_only_folder)
                chmod(folder.path().c_str(), 0555);
            if (c.read_only_file)
                chmod((folder / destination).c_str(), 0444);

            RunSettings settings;
            settings.input = "y\n";
            settings.unprivileged = c.read_only_folder || c.read_only_file;
            if (c.size_limit)
                settings.file_size_limit = static_cast<long>(kind.content.size() / 2);
            ProcessResult result = run_mog(folder.path(), {"-n", "1", source, destination}, settings);

            EXPECT_EQ(result.status, 3);
            EXPECT_EQ(result.err, "ERROR: Cannot write file '" + destination + "': " + c.reason + ".\n");
            EXPECT_EQ(result.out.find("Done."), std::string::npos);
            EXPECT_EQ(folder_entries(folder.path()), before);
            EXPECT_EQ(read_file(folder / source), kind.content);
            if (old_destination) {
                EXPECT_EQ(read_file(folder / destination), old_bytes);
            }
        }
    }
}

TEST(FaultInjection, SourceThatIsAFolderCannotBeRead) {
    SKIP_UNDER_RUNNER("a folder cannot be opened as a file there");
    for (const char* extension : {"prg", "d64"}) {
        TempFolder folder;
        const std::string name = std::string("dir.") + extension;
        ASSERT_EQ(mkdir((folder / name).c_str(), 0755), 0);
        ProcessResult result = run_mog(folder.path(), {"-n", "1", name});
        EXPECT_EQ(result.status, 3);
        EXPECT_EQ(result.out, std::string("Destination file set to 'dir.out.") + extension + "'.\n");
        EXPECT_EQ(result.err, "ERROR: Cannot read file '" + name + "': Is a directory.\n");
        EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{name});
    }
}

TEST(FaultInjection, UnreadableSourceIsNotFound) {
    SKIP_UNDER_RUNNER("runs as another user");
    for (const auto& kind : kinds()) {
        TempFolder folder;
        open_to_everyone(folder.path());
        const std::string source = std::string("game.") + kind.extension;
        write_file(folder / source, kind.content);
        chmod((folder / source).c_str(), 0);
        RunSettings settings;
        settings.unprivileged = true;
        ProcessResult result = run_mog(folder.path(), {"-n", "1", source}, settings);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "ERROR: File '" + source + "' not found.");
        EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{source});
    }
}

TEST(FaultInjection, OutputThatCannotBeWrittenIsNoSuccess) {
    SKIP_UNDER_RUNNER("/dev/full and file-size limits are POSIX's");
    struct Case {
        const char* label;
        bool full_device;
        std::string reason;
    };
    for (const Case& c : {Case{"full device", true, "No space left on device"},
                          Case{"beyond the file-size limit", false, "File too large"}}) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "disk.d64", read_file(std::string(MOG_SOURCE_DIR) + "/samples/sample.d64"));
        write_file(folder / "list.txt", "");
        RunSettings settings;
        settings.output_file = c.full_device ? "/dev/full" : folder / "list.txt";
        settings.file_size_limit = c.full_device ? -1 : 50;
        ProcessResult result = run_mog(folder.path(), {"-v", "disk.d64"}, settings);
        EXPECT_EQ(result.status, 3);
        EXPECT_EQ(result.err, "ERROR: Cannot write output: " + c.reason + ".\n");
    }
}

// Standard input closed, empty as in a run without a terminal, or endless
// without a line ending, at each question.
TEST(FaultInjection, QuestionsWithoutInputEndSafely) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_entry(image, 18, 1, 1, FILE_PRG, 17, 1, "BETA");
    put_program(image, 17, 0, sys_program(10));
    put_program(image, 17, 1, sys_program(20));
    const std::string questions = "ALPHA            (10): BETA             (20): ";
    struct Case {
        const char* label;
        bool closed;
        std::string input_file;
    };
    for (const Case& c :
         {Case{"closed", true, ""}, Case{"empty", false, ""}, Case{"endless zeros", false, "/dev/zero"}}) {
        SCOPED_TRACE(c.label);
        if (!c.input_file.empty() && !tool_runner().empty())
            continue; // no /dev/zero there
        RunSettings settings;
        settings.close_input = c.closed;
        settings.input_file = c.input_file;

        TempFolder asked;
        write_file(asked / "disk.d64", image);
        ProcessResult interactive = run_mog(asked.path(), {"-i", "-n", "5", "disk.d64"}, settings);
        EXPECT_EQ(interactive.status, 0);
        EXPECT_EQ(interactive.out, "Destination file set to 'disk.out.d64'.\n"
                                   "Enter line number for each program or <enter> for no change.\n\n" +
                                       questions + "Done.\n");
        EXPECT_EQ(read_file(asked / "disk.out.d64"), image);

        TempFolder guarded;
        write_file(guarded / "disk.d64", image);
        write_file(guarded / "disk.out.d64", "old");
        ProcessResult overwrite = run_mog(guarded.path(), {"-i", "-n", "5", "disk.d64"}, settings);
        EXPECT_EQ(overwrite.status, 5);
        EXPECT_EQ(read_file(guarded / "disk.out.d64"), "old");
        EXPECT_EQ(folder_entries(guarded.path()), (std::vector<std::string>{"disk.d64", "disk.out.d64"}));
    }
}

} // namespace
