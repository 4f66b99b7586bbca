#include "d64/directory_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_options.h"
#include "d64/geometry.h"

namespace {

void put(std::vector<unsigned char>& image, std::size_t at, const std::string& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// A directory at 18/1 whose entries point at each other's sectors and beyond.
TEST(DirectoryPass, RewriteChangesOnlyLineNumbersOfStartLines) {
    std::vector<unsigned char> image(D64_IMAGE_SIZE);
    put(image, track_offset(18, 0), "\x12\x01");
    const std::size_t directory = track_offset(18, 1);
    put(image, directory + 2,
        std::string("\x82\x11\x00"
                    "A",
                    4)); // 17/0: start line
    put(image, directory + 32 + 2,
        std::string("\x82\x11\x01"
                    "B",
                    4)); // 17/1: loads at $1C01
    put(image, directory + 64 + 2,
        std::string("\x82\x23\x10"
                    "C",
                    4)); // 35/16: last sector, start line
    put(image, directory + 96 + 2,
        std::string("\x82\x24\x00"
                    "D",
                    4)); // 36/0: beyond the image
    put(image, directory + 128 + 2,
        std::string("\x00\x11\x00"
                    "E",
                    4)); // empty slot
    const std::string start_line("\x01\x08\x0b\x08\x0a\x00\x9e"
                                 "2061\0",
                                 12);
    put(image, track_offset(17, 0) + 2, start_line);
    put(image, track_offset(17, 1) + 2,
        std::string("\x01\x1c\x0b\x1c\x0a\x00\x9e"
                    "2061\0",
                    12));
    put(image, track_offset(35, 16) + 2, start_line);
    std::vector<unsigned char> original = image;

    RunOptions saved = run_options;
    run_options = RunOptions{};
    testing::internal::CaptureStdout();
    process_directory(image.data(), image.size(), 0x1234);
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    run_options = saved;

    EXPECT_EQ(out, "Changed file 'A" + std::string(15, '@') + "'.\nChanged file 'C" + std::string(15, '@') + "'.\n");
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < image.size(); ++i)
        if (image[i] != original[i])
            changed.push_back(i);
    const std::size_t a = track_offset(17, 0) + 6, c = track_offset(35, 16) + 6;
    EXPECT_EQ(changed, (std::vector<std::size_t>{a, a + 1, c, c + 1}));
    EXPECT_EQ(image[a], 0x34);
    EXPECT_EQ(image[a + 1], 0x12);
}

} // namespace
