#include "platform/whole_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/file_replace.h"

namespace {

using namespace mog;

std::string temporary_folder() {
    char pattern[] = "/tmp/mog-unit-XXXXXX";
    EXPECT_NE(mkdtemp(pattern), nullptr);
    return pattern;
}

TEST(WholeFile, ReadsWhatWasWrittenAndReportsWhyNot) {
    std::string folder = temporary_folder();
    std::string name = folder + "/file.prg";
    const unsigned char bytes[] = {1, 8, 0, 0xFF, 0};
    ASSERT_EQ(replace_file(name.c_str(), bytes, sizeof bytes, false), 0);
    EXPECT_EQ(path_kind(name.c_str()), PathKind::regular_file);
    EXPECT_EQ(replace_file(name.c_str(), bytes, 0, false), EEXIST); // a name that must be free is not replaced
    EXPECT_TRUE(can_read_file(name.c_str()));

    SourceBytes image;
    ASSERT_EQ(read_whole_file(name.c_str(), sizeof bytes, image), 0);
    EXPECT_EQ(image, SourceBytes(std::begin(bytes), std::end(bytes)));
    EXPECT_EQ(read_whole_file(name.c_str(), sizeof bytes - 1, image), EFBIG);
    EXPECT_TRUE(image.empty());

    ASSERT_EQ(replace_file(name.c_str(), bytes, 0, true), 0);
    image.assign(3, 1);
    EXPECT_EQ(read_whole_file(name.c_str(), 0, image), 0);
    EXPECT_TRUE(image.empty());

    EXPECT_EQ(read_whole_file(folder.c_str(), 1 << 20, image), EISDIR);
    EXPECT_EQ(read_whole_file((folder + "/absent").c_str(), 1 << 20, image), ENOENT);
    EXPECT_EQ(path_kind((folder + "/absent").c_str()), PathKind::absent);
    EXPECT_EQ(replace_file((folder + "/absent/file.prg").c_str(), bytes, sizeof bytes, true), ENOENT);
    // Replacing a folder fails and leaves it in place.
    EXPECT_EQ(replace_file(folder.c_str(), bytes, sizeof bytes, true), EISDIR);
    struct stat info {};
    EXPECT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    // Large files take memory of another kind; every byte arrives all the same.
    std::vector<unsigned char> large(819200 + 1);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<unsigned char>(i * 7 + i / 256);
    ASSERT_EQ(replace_file(name.c_str(), large.data(), large.size(), true), 0);
    ASSERT_EQ(read_whole_file(name.c_str(), 1 << 20, image), 0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), large.begin(), large.end()));

    unlink(name.c_str());
    EXPECT_EQ(rmdir(folder.c_str()), 0) << "a temporary file was left behind";
}

// Names that are no regular file are told apart without opening them, and
// never read: a FIFO would hang the read, a device never end it.
TEST(WholeFile, OnlyRegularFilesAreRead) {
    std::string folder = temporary_folder();
    const std::string fifo = folder + "/fifo.prg", dangling = folder + "/dangling.prg", loop = folder + "/loop.prg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("absent.prg", dangling.c_str()), 0);
    ASSERT_EQ(symlink("loop.prg", loop.c_str()), 0);
    struct Case {
        std::string name;
        PathKind kind;
        int error;
    };
    const Case cases[] = {
        {fifo, PathKind::other, NOT_A_REGULAR_FILE}, {"/dev/zero", PathKind::other, NOT_A_REGULAR_FILE},
        {folder, PathKind::folder, EISDIR},          {dangling, PathKind::dangling_link, ENOENT},
        {loop, PathKind::link_loop, ELOOP},
    };
    const unsigned char bytes[] = {1, 8};
    EXPECT_EQ(replace_file(fifo.c_str(), bytes, sizeof bytes, true), NOT_A_REGULAR_FILE); // and it stays a FIFO
    EXPECT_EQ(path_kind(fifo.c_str()), PathKind::other);
    for (const auto& c : cases) {
        EXPECT_EQ(path_kind(c.name.c_str()), c.kind) << c.name;
        SourceBytes image;
        EXPECT_EQ(read_whole_file(c.name.c_str(), 1 << 20, image), c.error) << c.name;
    }
    for (const std::string& name : {fifo, dangling, loop})
        unlink(name.c_str());
    rmdir(folder.c_str());
}

} // namespace
