// The system's files through folder handles: what a search found is read and
// replaced only as it was found.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <dirent.h>
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

// Another program moves tree/sub aside and puts a link to a folder outside
// in its place.
void swap_for_link(const TempFolder& root) {
    ASSERT_EQ(rename((root / "tree/sub").c_str(), (root / "moved").c_str()), 0);
    ASSERT_EQ(symlink("../outside", (root / "tree/sub").c_str()), 0);
}

bool leases_possible(const std::string& file) {
    int fd = open(file.c_str(), O_RDONLY);
    const bool possible = fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
    close(fd);
    return possible;
}

// A file found in tree/sub is read, something happens, and it is replaced by
// its new content: the read and the write fail as they should, and nothing
// outside the tree is read or written.
TEST(FileSystem, FoundFilesAreUsedOnlyAsFound) {
    mog::ignore_write_signals(); // the lease's signal
    struct Case {
        const char* label;
        std::function<void(const TempFolder&)> before_read, before_replace;
        int read_error, replace_error;
        std::string in_place; // what tree/sub/a.prg, or the file moved with its folder, holds afterwards
    };
    int writer = -1;
    const std::vector<Case> cases = {
        {"nothing happens", nullptr, nullptr, 0, 0, NEW},
        {"folder swapped for a link before the read", swap_for_link, nullptr, mog::FOLDER_CHANGED, -1, OLD},
        {"folder swapped for another before the read",
         [](const TempFolder& root) {
             ASSERT_EQ(rename((root / "tree/sub").c_str(), (root / "moved").c_str()), 0);
             ASSERT_EQ(mkdir((root / "tree/sub").c_str(), 0755), 0);
             write_file(root / "tree/sub/a.prg", OLD);
         },
         nullptr, mog::FOLDER_CHANGED, -1, OLD},
        {"folder swapped for a link after the read", nullptr, swap_for_link, 0, mog::FOLDER_CHANGED, OLD},
        {"file swapped for a link after the read", nullptr,
         [](const TempFolder& root) {
             ASSERT_EQ(unlink((root / "tree/sub/a.prg").c_str()), 0);
             ASSERT_EQ(symlink("../../outside/a.prg", (root / "tree/sub/a.prg").c_str()), 0);
         },
         0, mog::IS_A_LINK, ""},
        {"file written after the read", nullptr,
         [](const TempFolder& root) { write_file(root / "tree/sub/a.prg", OLD + "+"); }, 0, mog::FILE_CHANGED,
         OLD + "+"},
        {"file open for writing by another", nullptr,
         [&writer](const TempFolder& root) { writer = open((root / "tree/sub/a.prg").c_str(), O_WRONLY); }, 0,
         mog::FILE_BEING_WRITTEN, OLD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder root;
        for (const char* folder : {"tree", "tree/sub", "outside"})
            ASSERT_EQ(mkdir((root / folder).c_str(), 0755), 0);
        write_file(root / "tree/sub/a.prg", OLD);
        write_file(root / "outside/a.prg", OLD);
        if (c.replace_error == mog::FILE_BEING_WRITTEN && !leases_possible(root / "tree/sub/a.prg")) {
            std::printf("not run: no lease can be taken here\n");
            continue;
        }
        std::unique_ptr<mog::FileSystem> files = mog::system_file_system();
        auto tree = found(*files, nullptr, root / "tree");
        auto sub = found(*files, tree, "sub");
        if (c.before_read)
            c.before_read(root);
        mog::Bytes bytes;
        const mog::SourceRead read = files->read(Place{sub, "a.prg"}, mog::Links::refuse, 100, bytes);
        EXPECT_EQ(read.error ? read.error->code : 0, c.read_error);
        if (!read.error) {
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), OLD);
            if (c.before_replace)
                c.before_replace(root);
            mog::ReplaceRules rules;
            rules.replacing_allowed = true;
            rules.links = mog::Links::refuse;
            rules.unchanged_since = read.stamp;
            EXPECT_EQ(files->replace(Place{sub, "a.prg"}, bytes_of(NEW), rules).error, c.replace_error);
        }
        if (writer >= 0)
            close(writer);
        writer = -1;
        EXPECT_EQ(read_file(root / "outside/a.prg"), OLD);
        EXPECT_EQ(folder_entries(root / "outside"), std::vector<std::string>{"a.prg"});
        const std::string kept = path_exists(root / "moved") ? root / "moved" : root / "tree/sub";
        if (!c.in_place.empty()) {
            EXPECT_EQ(read_file(kept + "/a.prg"), c.in_place);
        }
        EXPECT_EQ(folder_entries(kept), std::vector<std::string>{"a.prg"}) << "a temporary file was left";
    }
}

int open_descriptors() {
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr)
            ++count;
        closedir(fds);
    }
    return count;
}

// Depth first through a tree, the folders held are those on the way to the
// current one: a handle each, let go as the search leaves them. A new file
// beside a found one is written into its folder; an extended attribute
// stays with a file replaced in place.
TEST(FileSystem, HoldsOnlyTheFoldersOnTheWay) {
    TempFolder root;
    ASSERT_EQ(mkdir((root / "a").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root / "a/b").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root / "c").c_str(), 0755), 0);
    for (const char* name : {"a/b/f.prg", "c/f.prg"})
        write_file(root / name, OLD);
    const bool attributes = setxattr((root / "c/f.prg").c_str(), "user.mog", "kept", 4, 0) == 0;
    const int before = open_descriptors();
    {
        std::unique_ptr<mog::FileSystem> files = mog::system_file_system();
        auto top = found(*files, nullptr, root.path());
        auto a = found(*files, top, "a");
        auto b = found(*files, a, "b");
        auto c = found(*files, top, "c");
        mog::Bytes bytes;
        mog::ReplaceRules rules;
        EXPECT_FALSE(files->read(Place{b, "f.prg"}, mog::Links::refuse, 100, bytes).error);
        EXPECT_EQ(open_descriptors(), before + 4); // three folders and the file read
        EXPECT_EQ(files->replace(Place{b, "f.out.prg"}, bytes_of(NEW), rules).error, 0);
        EXPECT_EQ(open_descriptors(), before + 3);
        const mog::SourceRead read = files->read(Place{c, "f.prg"}, mog::Links::refuse, 100, bytes);
        EXPECT_EQ(open_descriptors(), before + 3); // top, c and the file
        rules.replacing_allowed = true;
        rules.unchanged_since = read.stamp;
        EXPECT_EQ(files->replace(Place{c, "f.prg"}, bytes_of(NEW), rules).error, 0);
    }
    EXPECT_EQ(open_descriptors(), before);
    EXPECT_EQ(read_file(root / "a/b/f.out.prg"), NEW);
    EXPECT_EQ(read_file(root / "c/f.prg"), NEW);
    char value[8] = {};
    if (attributes) {
        EXPECT_EQ(getxattr((root / "c/f.prg").c_str(), "user.mog", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
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
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        std::unique_ptr<mog::FileSystem> files = mog::system_file_system();
        mog::Bytes bytes;
        mog::ReplaceRules rules;
        rules.replacing_allowed = true;
        rules.unchanged_since = files->read(Place{nullptr, file}, mog::Links::follow, 100, bytes).stamp;
        _exit(files->replace(Place{nullptr, file}, bytes_of(NEW), rules).error == mog::ATTRIBUTES_NOT_KEPT ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_file(file), OLD);
    EXPECT_EQ(folder_entries(root.path()), std::vector<std::string>{"a.prg"});
}

} // namespace
