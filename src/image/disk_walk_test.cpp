#include "image/disk_walk.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/container_kind.h"
#include "image/disk_format.h"

namespace {

using namespace mog;

struct Link {
    int track, sector, next_track, next_sector;
};

int count_entries(std::vector<unsigned char>& image, std::size_t size) {
    WalkState walk;
    walk.container = Container{&DISK_CONTAINER, &D64};
    walk.bytes = image.data();
    walk.size = size;
    DISK_CONTAINER.start(walk);
    int entries = 0;
    while (unsigned char* entry = next_directory_entry(walk)) {
        EXPECT_GE(entry, image.data());
        EXPECT_LE(entry + DIRECTORY_ENTRY_SIZE, image.data() + size);
        ++entries;
    }
    return entries;
}

TEST(DiskWalk, WalkFollowsTheChainAndStopsOnDamage) {
    struct Case {
        const char* label;
        std::vector<Link> links;
        std::size_t size;
        int entries;
    };
    const std::vector<Case> cases = {
        {"empty anchor", {{18, 0, 0, 0}}, D64_IMAGE_SIZE, 0},
        {"one sector", {{18, 0, 18, 1}, {18, 1, 0, 255}}, D64_IMAGE_SIZE, 8},
        {"two sectors", {{18, 0, 18, 1}, {18, 1, 18, 4}, {18, 4, 0, 255}}, D64_IMAGE_SIZE, 16},
        {"loop to itself", {{18, 0, 18, 1}, {18, 1, 18, 1}}, D64_IMAGE_SIZE, 8},
        {"loop over two", {{18, 0, 18, 1}, {18, 1, 18, 4}, {18, 4, 18, 1}}, D64_IMAGE_SIZE, 16},
        {"back to the anchor", {{18, 0, 18, 1}, {18, 1, 18, 0}}, D64_IMAGE_SIZE, 8},
        {"track 41", {{18, 0, 18, 1}, {18, 1, 41, 0}}, D64_IMAGE_SIZE, 8},
        {"sector 19 of track 18", {{18, 0, 18, 1}, {18, 1, 18, 19}}, D64_IMAGE_SIZE, 8},
        {"track 36 of a 35-track image", {{18, 0, 18, 1}, {18, 1, 36, 0}}, D64_IMAGE_SIZE, 8},
        {"track 36 of a 40-track image", {{18, 0, 18, 1}, {18, 1, 36, 0}, {36, 0, 0, 0}}, D64_IMAGE_SIZE + 21760, 16},
        {"first sector cut off", {{18, 0, 18, 1}}, track_offset(D64, 18, 1) + 255, 0},
        {"anchor cut off", {{18, 0, 18, 1}}, track_offset(D64, 18, 0) + 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<unsigned char> image(D64_IMAGE_SIZE + 21760);
        for (const auto& link : c.links) {
            image[track_offset(D64, link.track, link.sector)] = static_cast<unsigned char>(link.next_track);
            image[track_offset(D64, link.track, link.sector) + 1] = static_cast<unsigned char>(link.next_sector);
        }
        EXPECT_EQ(count_entries(image, c.size), c.entries);
    }
}

// The anchor's link counts once its two bytes are read: the walk follows it
// and breaks where it leads, beyond the bytes.
TEST(DiskWalk, AnImageCutAfterTheAnchorsLinkBreaksWhereTheLinkLeads) {
    std::vector<unsigned char> image(D64_IMAGE_SIZE);
    image[track_offset(D64, 18, 0)] = 18;
    image[track_offset(D64, 18, 0) + 1] = 1;
    struct Case {
        std::size_t size;
        int track, sector;
    };
    for (const Case& c : {Case{track_offset(D64, 18, 0) + 1, 18, 0}, Case{track_offset(D64, 18, 0) + 2, 18, 1}}) {
        ProgramWalk walk = start_program_walk(Container{&DISK_CONTAINER, &D64}, std::span(image.data(), c.size));
        EXPECT_FALSE(next_program(walk));
        ASSERT_FALSE(walk.notices().empty());
        const Notice& broken = walk.notices().back();
        EXPECT_EQ(broken.kind, NoticeKind::directory_broken);
        EXPECT_EQ(broken.track, c.track) << c.size;
        EXPECT_EQ(broken.sector, c.sector) << c.size;
    }
}

TEST(DiskWalk, LongestPossibleChainEnds) {
    // Every sector of a 40-track image links to the next one, the last back to the first.
    std::vector<unsigned char> image(D64_IMAGE_SIZE + 21760);
    std::vector<std::pair<int, int>> order;
    for (int track = 1; track <= last_track(D64); ++track)
        for (int sector = 0; sector < sectors_on_track(D64, track); ++sector)
            order.emplace_back(track, sector);
    for (std::size_t i = 0; i < order.size(); ++i) {
        auto next = order[(i + 1) % order.size()];
        image[track_offset(D64, order[i].first, order[i].second)] = static_cast<unsigned char>(next.first);
        image[track_offset(D64, order[i].first, order[i].second) + 1] = static_cast<unsigned char>(next.second);
    }
    // The anchor is never a directory sector, so all others are visited once.
    EXPECT_EQ(count_entries(image, image.size()), (total_sectors(D64) - 1) * ENTRIES_PER_SECTOR);
}

// The last sector of an image that ends exactly there holds a start line
// with no terminating zero: the line ends with the bytes read.
TEST(DiskWalk, StartLineEndsWithTheLastSectorOfTheImage) {
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

    ProgramWalk walk = start_program_walk(Container{&DISK_CONTAINER, &D64}, image);
    std::optional<Program> program = next_program(walk);
    ASSERT_TRUE(program);
    EXPECT_TRUE(program->has_load_address);
    EXPECT_EQ(program->load_address, 0x0801u);
    EXPECT_EQ(program->line.data(), image.data() + last + 4);
    EXPECT_EQ(program->line.data() + program->line.size(), image.data() + image.size());
    EXPECT_FALSE(next_program(walk));
    // Moved away, the walk is done; a walk never started yields nothing.
    ProgramWalk moved = std::move(walk);
    EXPECT_FALSE(next_program(walk));
    EXPECT_TRUE(walk.notices().empty());
    ProgramWalk never;
    EXPECT_FALSE(next_program(never));
}

} // namespace
