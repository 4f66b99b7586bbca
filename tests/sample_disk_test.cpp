// The bundled sample disk was laid out by cc1541 from programs built by
// cc65: the tool's reading of it checks the geometry against theirs.
#include <gtest/gtest.h>

#include "image_builder.h"
#include "process_runner.h"

namespace {

const std::string SAMPLES = std::string(MOG_SOURCE_DIR) + "/samples";

std::string padded(const std::string& name) {
    return name + std::string(16 - name.size(), ' ');
}

TEST(SampleDisk, ListingMatchesWhatCc1541Wrote) {
    TempFolder folder;
    ProcessResult result = run_mog(folder.path(), {"-v", SAMPLES + "/sample.d64"});
    const std::string start_line = " [800 SYS2061]\n";
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Current year: " + std::to_string(current_year()) + "\n" + padded("HELLO") + start_line +
                              padded("COUNTER") + start_line + padded("LOADER") + " \n" + padded("NOTES") + " \n" +
                              padded("PART 1") + start_line + padded("PART 2") + start_line + padded("PART 3") +
                              start_line + padded("PART 4") + start_line + padded("\x9C PRICE ^ ARROW") + start_line +
                              padded("\xC4$| LINES \xEE_") + start_line + "Done.\n");
}

TEST(SampleDisk, RewriteTouchesOnlyTheLineNumbersOfTheEightPrograms) {
    TempFolder folder;
    std::string image = read_file(SAMPLES + "/sample.d64");
    std::string program = read_file(SAMPLES + "/game.prg");
    ASSERT_EQ(image.size(), IMAGE_SIZE);
    ProcessResult result = run_mog(folder.path(), {"-n", "4660", SAMPLES + "/sample.d64", "out.d64"});
    EXPECT_EQ(result.status, 0);
    std::string written = read_file(folder / "out.d64");
    ASSERT_EQ(written.size(), image.size());

    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < image.size(); ++i)
        if (image[i] != written[i])
            changed.push_back(i);
    ASSERT_EQ(changed.size(), 16u);
    for (std::size_t k = 0; k < changed.size(); k += 2) {
        // Each pair is the line number at byte 6 of a sector, after the
        // sector link and the load address, and the sector holds a program.
        std::size_t at = changed[k];
        EXPECT_EQ(changed[k + 1], at + 1);
        EXPECT_EQ(at % 256, 6u);
        EXPECT_EQ(written.substr(at, 2), "\x34\x12");
        EXPECT_EQ(image.substr(at - 4, 2), "\x01\x08");
    }
    // The first program's first sector holds game.prg's first 254 bytes.
    std::size_t first = changed[0] - 6;
    EXPECT_EQ(image.substr(first + 2, 254), program.substr(0, 254));
}

} // namespace
