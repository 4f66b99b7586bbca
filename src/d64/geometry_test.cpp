#include "d64/geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Geometry, TrackStartsFollowTheZones) {
    struct Case {
        int track;
        int sector;
        std::uint32_t offset;
    };
    const Case cases[] = {
        {1, 0, 0},
        {2, 0, 5376},
        {17, 0, 86016},
        {18, 0, 91392},
        {18, 1, 91392 + 256},
        {19, 0, 96256},
        {25, 0, 125440},
        {31, 0, 153088},
        {35, 0, 170496},
        {35, 16, 170496 + 16 * 256},
        {36, 0, 174848},
        {40, 0, 192256},
        {40, 16, 192256 + 16 * 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(track_offset(c.track, c.sector), c.offset) << c.track << "/" << c.sector;
    EXPECT_EQ(track_offset(35, 16) + SECTOR_SIZE, D64_IMAGE_SIZE);
}

TEST(Geometry, FindSectorRefusesWhatIsNotWhollyInTheBuffer) {
    std::vector<unsigned char> image(D64_IMAGE_SIZE);
    struct Case {
        int track;
        int sector;
        std::size_t size;
        bool found;
    };
    const Case cases[] = {
        {1, 0, D64_IMAGE_SIZE, true},
        {1, 20, D64_IMAGE_SIZE, true},
        {1, 21, D64_IMAGE_SIZE, false},
        {18, 18, D64_IMAGE_SIZE, true},
        {18, 19, D64_IMAGE_SIZE, false},
        {0, 0, D64_IMAGE_SIZE, false},
        {41, 0, D64_IMAGE_SIZE, false},
        {36, 0, D64_IMAGE_SIZE, false},
        {35, 16, D64_IMAGE_SIZE, true},
        {35, 16, D64_IMAGE_SIZE - 1, false},
        {1, 0, 255, false},
        {1, 0, 256, true},
        {1, -1, D64_IMAGE_SIZE, false},
        {1, 0, 0, false},
    };
    for (const auto& c : cases) {
        unsigned char* sector = find_sector(image.data(), c.size, c.track, c.sector);
        EXPECT_EQ(sector != nullptr, c.found) << c.track << "/" << c.sector << " in " << c.size;
        if (sector != nullptr) {
            EXPECT_EQ(sector - image.data(), track_offset(c.track, c.sector));
        }
    }
    std::vector<unsigned char> forty(D64_IMAGE_SIZE + 5 * 17 * 256);
    EXPECT_NE(find_sector(forty.data(), forty.size(), 40, 16), nullptr);
    EXPECT_EQ(find_sector(forty.data(), forty.size(), 40, 17), nullptr);
}

struct Link {
    int track, sector, next_track, next_sector;
};

int count_entries(std::vector<unsigned char>& image, std::size_t size) {
    DirectoryWalk walk = start_directory_walk(image.data(), size);
    int entries = 0;
    while (unsigned char* entry = next_directory_entry(walk)) {
        EXPECT_GE(entry, image.data());
        EXPECT_LE(entry + DIRECTORY_ENTRY_SIZE, image.data() + size);
        ++entries;
    }
    return entries;
}

TEST(Geometry, WalkFollowsTheChainAndStopsOnDamage) {
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
        {"first sector cut off", {{18, 0, 18, 1}}, track_offset(18, 1) + 255, 0},
        {"anchor cut off", {{18, 0, 18, 1}}, track_offset(18, 0) + 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<unsigned char> image(D64_IMAGE_SIZE + 21760);
        for (const auto& link : c.links) {
            image[track_offset(link.track, link.sector)] = static_cast<unsigned char>(link.next_track);
            image[track_offset(link.track, link.sector) + 1] = static_cast<unsigned char>(link.next_sector);
        }
        EXPECT_EQ(count_entries(image, c.size), c.entries);
    }
}

TEST(Geometry, LongestPossibleChainEnds) {
    // Every sector of a 40-track image links to the next one, the last back to the first.
    std::vector<unsigned char> image(D64_IMAGE_SIZE + 21760);
    std::vector<std::pair<int, int>> order;
    for (int track = 1; track <= MAX_TRACK; ++track)
        for (int sector = 0; sector < sectors_on_track(track); ++sector)
            order.emplace_back(track, sector);
    for (std::size_t i = 0; i < order.size(); ++i) {
        auto next = order[(i + 1) % order.size()];
        image[track_offset(order[i].first, order[i].second)] = static_cast<unsigned char>(next.first);
        image[track_offset(order[i].first, order[i].second) + 1] = static_cast<unsigned char>(next.second);
    }
    // The anchor is never a directory sector, so all others are visited once.
    EXPECT_EQ(count_entries(image, image.size()), (MAX_SECTORS - 1) * ENTRIES_PER_SECTOR);
}

} // namespace
