#include "image/program_walk.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The last sector of an image that ends exactly there holds a start line
// with no terminating zero: the line ends with the bytes read.
TEST(ProgramWalk, StartLineEndsWithTheLastSectorOfTheImage) {
    std::vector<unsigned char> image(D64_IMAGE_SIZE);
    const std::size_t anchor = track_offset(D64, 18, 0), directory = track_offset(D64, 18, 1);
    image[anchor] = 18;
    image[anchor + 1] = 1;
    image[directory + ENTRY_FILE_TYPE] = 0x82;
    image[directory + ENTRY_FIRST_TRACK] = 35;
    image[directory + ENTRY_FIRST_SECTOR] = 16;
    const std::size_t last = track_offset(D64, 35, 16);
    const unsigned char start[] = {0, 0, 0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e};
    std::copy(std::begin(start), std::end(start), image.begin() + static_cast<std::ptrdiff_t>(last));
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(last + sizeof start), image.end(), '9');

    ProgramWalk walk = start_program_walk(Container{ContainerKind::disk, &D64}, image.data(), image.size());
    Program program;
    ASSERT_TRUE(next_program(walk, program));
    EXPECT_TRUE(program.has_start_line);
    EXPECT_EQ(sys_line_number(program.line), 10u);
    EXPECT_EQ(sys_line_text(program.line) + sys_line_text_length(program.line), image.data() + image.size());
    EXPECT_FALSE(next_program(walk, program));
}

} // namespace
