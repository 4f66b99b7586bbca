#include "cli/whole_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string temporary_folder() {
    char pattern[] = "/tmp/mog-unit-XXXXXX";
    EXPECT_NE(mkdtemp(pattern), nullptr);
    return pattern;
}

TEST(WholeFile, ReadsWhatWasWrittenAndReportsWhyNot) {
    std::string folder = temporary_folder();
    std::string name = folder + "/file.prg";
    const unsigned char bytes[] = {1, 8, 0, 0xFF, 0};
    ASSERT_EQ(write_whole_file(bytes, name.c_str(), sizeof bytes), 0);
    EXPECT_TRUE(file_exists(name.c_str()));

    ImageBuffer image = read_whole_file(name.c_str());
    ASSERT_NE(image.bytes, nullptr);
    ASSERT_EQ(image.size, sizeof bytes);
    EXPECT_EQ(std::memcmp(image.bytes, bytes, sizeof bytes), 0);
    std::free(image.bytes);

    ASSERT_EQ(write_whole_file(bytes, name.c_str(), 0), 0);
    image = read_whole_file(name.c_str());
    ASSERT_NE(image.bytes, nullptr);
    EXPECT_EQ(image.size, 0u);
    std::free(image.bytes);

    EXPECT_EQ(read_whole_file(folder.c_str()).error, EISDIR);
    EXPECT_EQ(read_whole_file((folder + "/absent").c_str()).error, ENOENT);
    EXPECT_FALSE(file_exists((folder + "/absent").c_str()));
    EXPECT_FALSE(file_exists(nullptr));
    EXPECT_EQ(write_whole_file(bytes, (folder + "/absent/file.prg").c_str(), sizeof bytes), ENOENT);
    // Replacing a folder fails and leaves it in place.
    EXPECT_EQ(write_whole_file(bytes, folder.c_str(), sizeof bytes), EISDIR);
    struct stat info {};
    EXPECT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    unlink(name.c_str());
    EXPECT_EQ(rmdir(folder.c_str()), 0) << "a temporary file was left behind";
}

} // namespace
