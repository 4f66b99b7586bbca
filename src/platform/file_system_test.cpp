// The system's files through folder handles: what a search found is read and
// replaced only as it was found.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/interruptions.h"
#include "process_runner.h"

namespace {

using mog::Place;

const std::string OLD = "old bytes", NEW = "new bytes!";

std::span<const unsigned char> bytes_of(const std::string& text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// A folder found by listing it, as a search finds it.
std::shared_ptr<const mog::Folder> found(mog::FileSystem& files, std::shared_ptr<const mog::Folder> parent,
                                         const std::string& name) {
    auto folder = std::make_shared<mog::Folder>();
    std::vector<mog::FolderEntry> entries;
    EXPECT_EQ(files.list(Place{parent, name}, entries, folder->identity), 0) << name;
    folder->parent = std::move(parent);
    folder->name = name;
    folder->path = folder->parent ? folder->parent->path + "/" + name : name;
    return folder;
}

// Reads the file and replaces it by its new content; gives the read's and
// the write's error codes.
std::pair<int, int> replace_in_place(mog::FileSystem& files, const Place& place,
                                     const std::function<void()>& before_replace = nullptr) {
    mog::Bytes bytes;
    const mog::SourceRead read = files.read(place, 100, bytes);
    if (read.error)
        return {read.error->code, -1};
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), OLD);
    if (before_replace)
        before_replace();
    mog::ReplaceRules rules;
    rules.replacing_allowed = true;
    rules.unchanged_since = read.stamp;
    return {0, files.replace(place, bytes_of(NEW), rules).error};
}

void move(const std::string& from, const std::string& to) {
    ASSERT_EQ(rename(from.c_str(), to.c_str()), 0);
}

// A file found in tree/sub is read, something happens, and it is replaced by
// its new content: the read or the write fails as it should, and nothing
// outside the tree is read or written. Replaced, the file keeps its
// extended attributes.
TEST(FileSystem, FoundFilesAreUsedOnlyAsFound) {
    mog::ignore_write_signals(); // the lease's signal
    struct Case {
        const char* label;
        std::function<void(const TempFolder&)> before_read, before_replace;
        int read_error, replace_error;
        std::string kept; // what the file holds afterwards, in tree/sub or moved with its folder
    };
    const auto folder_to_link = [](const TempFolder& root) {
        move(root / "tree/sub", root / "moved");
        ASSERT_EQ(symlink("../outside", (root / "tree/sub").c_str()), 0);
    };
    int writer = -1;
    const std::vector<Case> cases = {
        {"nothing happens", nullptr, nullptr, 0, 0, NEW},
        {"folder swapped for a link before the read", folder_to_link, nullptr, mog::FOLDER_CHANGED, -1, OLD},
        {"folder swapped for another before the read",
         [](const TempFolder& root) {
             move(root / "tree/sub", root / "moved");
             ASSERT_EQ(mkdir((root / "tree/sub").c_str(), 0755), 0);
             write_file(root / "tree/sub/a.prg", OLD);
         },
         nullptr, mog::FOLDER_CHANGED, -1, OLD},
        {"folder swapped for a link after the read", nullptr, folder_to_link, 0, mog::FOLDER_CHANGED, OLD},
        {"file swapped for a link before the read",
         [](const TempFolder& root) {
             ASSERT_EQ(unlink((root / "tree/sub/a.prg").c_str()), 0);
             ASSERT_EQ(symlink("../../outside/a.prg", (root / "tree/sub/a.prg").c_str()), 0);
         },
         nullptr, mog::IS_A_LINK, -1, ""},
        {"file swapped for a link after the read", nullptr,
         [](const TempFolder& root) {
             ASSERT_EQ(unlink((root / "tree/sub/a.prg").c_str()), 0);
             ASSERT_EQ(symlink("../../outside/a.prg", (root / "tree/sub/a.prg").c_str()), 0);
         },
         0, mog::IS_A_LINK, ""},
        {"file written after the read", nullptr, [](const TempFolder& root) { write_file(root / "tree/sub/a.prg", OLD + "+"); },
         0, mog::FILE_CHANGED, OLD + "+"},
        {"file open for writing in another program", nullptr,
         [&writer](const TempFolder& root) { writer = open((root / "tree/sub/a.prg").c_str(), O_WRONLY); }, 0,
         mog::FILE_BEING_WRITTEN, OLD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder root;
        for (const char* folder : {"tree", "tree/sub", "outside"})
            ASSERT_EQ(mkdir((root / folder).c_str(), 0755), 0);
        for (const char* file : {"tree/sub/a.prg", "outside/a.prg"})
            write_file(root / file, OLD);
        const bool attributes = setxattr((root / "tree/sub/a.prg").c_str(), "user.mog", "kept", 4, 0) == 0;
        const int probe = open((root / "outside/a.prg").c_str(), O_RDONLY);
        const bool leases = fcntl(probe, F_SETLEASE, F_RDLCK) == 0;
        close(probe);
        if (c.replace_error == mog::FILE_BEING_WRITTEN && !leases) {
            std::printf("not run: no lease can be taken here\n");
            continue;
        }
        std::unique_ptr<mog::FileSystem> files = mog::system_file_system();
        auto sub = found(*files, found(*files, nullptr, root / "tree"), "sub");
        if (c.before_read)
            c.before_read(root);
        const auto errors = replace_in_place(*files, Place{sub, "a.prg"}, [&] {
            if (c.before_replace)
                c.before_replace(root);
        });
        if (writer >= 0)
            close(writer);
        writer = -1;
        EXPECT_EQ(errors, std::make_pair(c.read_error, c.replace_error));
        EXPECT_EQ(read_file(root / "outside/a.prg"), OLD);
        EXPECT_EQ(folder_entries(root / "outside"), std::vector<std::string>{"a.prg"});
        const std::string kept = path_exists(root / "moved") ? root / "moved/a.prg" : root / "tree/sub/a.prg";
        if (!c.kept.empty()) {
            EXPECT_EQ(read_file(kept), c.kept);
        }
        EXPECT_EQ(folder_entries(kept.substr(0, kept.rfind('/'))).size(), 1u) << "a temporary file was left";
        char value[8] = {};
        if (attributes && c.kept == NEW) {
            EXPECT_EQ(getxattr(kept.c_str(), "user.mog", value, sizeof value), 4);
        }
    }
}

int open_descriptors() {
    return static_cast<int>(folder_entries("/proc/self/fd").size());
}

// Depth first through a tree, the folders held are those on the way to the
// current one, let go as the search leaves them; the file last read is held
// until it is replaced. A new file beside a found one goes into its folder.
TEST(FileSystem, HoldsOnlyTheFoldersOnTheWay) {
    TempFolder root;
    for (const char* folder : {"a", "a/b", "c"})
        ASSERT_EQ(mkdir((root / folder).c_str(), 0755), 0);
    for (const char* name : {"a/b/f.prg", "c/f.prg"})
        write_file(root / name, OLD);
    const int before = open_descriptors();
    {
        std::unique_ptr<mog::FileSystem> files = mog::system_file_system();
        auto top = found(*files, nullptr, root.path());
        auto b = found(*files, found(*files, top, "a"), "b");
        EXPECT_EQ(files->replace(Place{b, "f.out.prg"}, bytes_of(NEW), mog::ReplaceRules{}).error, 0);
        EXPECT_EQ(open_descriptors(), before + 3);
        EXPECT_EQ(replace_in_place(*files, Place{found(*files, top, "c"), "f.prg"},
                                   [&] { EXPECT_EQ(open_descriptors(), before + 3); }), // top, c and the file
                  std::make_pair(0, 0));
    }
    EXPECT_EQ(open_descriptors(), before);
    EXPECT_EQ(read_file(root / "a/b/f.out.prg"), NEW);
    EXPECT_EQ(read_file(root / "c/f.prg"), NEW);
}

// A file with an attribute that its owner may not give a file (a
// capability) is kept as it is by the owner's replacement.
TEST(FileSystem, FileKeptWhereItsAttributesCannotBe) {
    TempFolder root;
    open_to_everyone(root.path());
    const std::string file = root / "a.prg";
    write_file(file, OLD);
    const std::uint32_t capability[5] = {0x02000000, 1u << 10, 0, 0, 0}; // may bind low ports
    if (geteuid() != 0 || chown(file.c_str(), 65534, 65534) != 0 ||
        setxattr(file.c_str(), "security.capability", capability, sizeof capability, 0) != 0)
        GTEST_SKIP() << "needs root to give the file a capability";
    const pid_t child = fork();
    if (child == 0) {
        std::unique_ptr<mog::FileSystem> files = mog::system_file_system();
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && replace_in_place(*files, Place{nullptr, file}).second == mog::ATTRIBUTES_NOT_KEPT ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_file(file), OLD);
    EXPECT_EQ(folder_entries(root.path()), std::vector<std::string>{"a.prg"});
}

} // namespace
