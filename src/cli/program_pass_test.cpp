#include "cli/program_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_sequence.h"
#include "image/disk_format.h"

namespace {

void put(std::vector<unsigned char>& image, std::size_t at, const std::string& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// A directory at 18/1 whose entries point at each other's sectors and beyond.
TEST(ProgramPass, RewriteChangesOnlyLineNumbersOfStartLines) {
    std::vector<unsigned char> image(D64_IMAGE_SIZE);
    put(image, track_offset(D64, 18, 0), "\x12\x01");
    const std::size_t directory = track_offset(D64, 18, 1);
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
    put(image, track_offset(D64, 17, 0) + 2, start_line);
    put(image, track_offset(D64, 17, 1) + 2,
        std::string("\x01\x1c\x0b\x1c\x0a\x00\x9e"
                    "2061\0",
                    12));
    put(image, track_offset(D64, 35, 16) + 2, start_line);
    std::vector<unsigned char> original = image;

    RunOptions options;
    options.container = Container{ContainerKind::disk, &D64};
    testing::internal::CaptureStdout();
    process_programs(options, image.data(), image.size(), 0x1234);
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(out, "Changed file 'A" + std::string(15, '@') + "'.\nChanged file 'C" + std::string(15, '@') + "'.\n");
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < image.size(); ++i)
        if (image[i] != original[i])
            changed.push_back(i);
    const std::size_t a = track_offset(D64, 17, 0) + 6, c = track_offset(D64, 35, 16) + 6;
    EXPECT_EQ(changed, (std::vector<std::size_t>{a, a + 1, c, c + 1}));
    EXPECT_EQ(image[a], 0x34);
    EXPECT_EQ(image[a + 1], 0x12);
}

TEST(ProgramPassDeathTest, UnexpectedStartLinesEndWithStatusTwo) {
    struct Case {
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {std::string("\x01\x1c\x0b\x08\x0a\x00\x9e", 7), "ERR: Unexpected startadress 1c01!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00\x99", 7), "ERR: No SYS command where expected!"},
        {std::string("\x01\x08\x0b\x08\x0a\x00", 6), "ERR: No SYS command where expected!"},
        {std::string(), "ERR: No SYS command where expected!"},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> buffer(c.bytes.begin(), c.bytes.end());
        EXPECT_EXIT(report_pass_failure(process_programs(RunOptions{}, buffer.data(), buffer.size(), 1)),
                    testing::ExitedWithCode(2), c.message);
    }
}

TEST(ProgramPass, PrgViewChangesNothing) {
    RunOptions options;
    options.view = true;
    std::string bytes("\x01\x08\x0b\x08\x0a\x00\x9e"
                      "2061\0",
                      12);
    std::vector<unsigned char> buffer(bytes.begin(), bytes.end());
    testing::internal::CaptureStdout();
    EXPECT_EQ(process_programs(options, buffer.data(), buffer.size(), 5).failure, PassFailure::none);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "10 SYS2061\n");
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), bytes);
}

} // namespace
