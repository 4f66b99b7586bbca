#include "image/disk_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace mog;

TEST(Geometry, TrackStartsFollowTheZones) {
    struct Case {
        int track;
        int sector;
        std::size_t offset;
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
        EXPECT_EQ(track_offset(D64, c.track, c.sector), c.offset) << c.track << "/" << c.sector;
    EXPECT_EQ(track_offset(D64, 35, 16) + SECTOR_SIZE, D64_IMAGE_SIZE);
}

// Tracks count from 1: no format has a track 0, or one past its last.
TEST(Geometry, SectorsOnTrackFollowTheZonesAndNothingElse) {
    struct Case {
        const DiskFormat& format;
        int track;
        int sectors;
    };
    const Case cases[] = {
        {D64, -1, 0},
        {D64, 0, 0},
        {D64, 1, 21},
        {D64, 17, 21},
        {D64, 18, 19},
        {D64, 24, 19},
        {D64, 25, 18},
        {D64, 31, 17},
        {D64, 40, 17},
        {D64, 41, 0},
        {DISK_FORMATS[1], 36, 21},
        {DISK_FORMATS[1], 70, 17},
        {DISK_FORMATS[1], 71, 0},
        {DISK_FORMATS[2], 0, 0},
        {DISK_FORMATS[2], 80, 40},
        {DISK_FORMATS[2], 81, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sectors_on_track(c.format, c.track), c.sectors) << c.format.name << " track " << c.track;
}

TEST(Geometry, FindSectorRefusesWhatIsNotWhollyInTheBuffer) {
    std::vector<unsigned char> image(D64_IMAGE_SIZE + 683);
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
        // 35 tracks and an error byte for each of their 683 sectors: no track 36.
        {35, 16, D64_IMAGE_SIZE + 683, true},
        {36, 0, D64_IMAGE_SIZE + 683, false},
        {36, 0, D64_IMAGE_SIZE + 682, true},
    };
    for (const auto& c : cases) {
        unsigned char* sector = find_sector(D64, image.data(), c.size, c.track, c.sector);
        EXPECT_EQ(sector != nullptr, c.found) << c.track << "/" << c.sector << " in " << c.size;
        if (sector != nullptr) {
            EXPECT_EQ(sector - image.data(), track_offset(D64, c.track, c.sector));
        }
    }
    std::vector<unsigned char> forty(D64_IMAGE_SIZE + 5 * 17 * 256);
    EXPECT_NE(find_sector(D64, forty.data(), forty.size(), 40, 16), nullptr);
    EXPECT_EQ(find_sector(D64, forty.data(), forty.size(), 40, 17), nullptr);
}

// The second side of a 1571 disk starts where a 35-track 1541 image ends;
// a 1581 disk has 40 sectors on every track.
TEST(DiskFormat, EveryRowFollowsItsDrive) {
    const DiskFormat& d71 = DISK_FORMATS[1];
    const DiskFormat& d81 = DISK_FORMATS[2];
    struct Case {
        const DiskFormat& format;
        int track;
        int sector;
        long offset; // -1: the format has no such sector
    };
    const Case cases[] = {
        {d71, 35, 16, 174848 - 256},
        {d71, 36, 0, 174848},
        {d71, 36, 20, 174848 + 20 * 256},
        {d71, 36, 21, -1},
        {d71, 53, 0, 174848 + 91392},
        {d71, 53, 19, -1},
        {d71, 70, 16, 349696 - 256},
        {d71, 71, 0, -1},
        {d81, 1, 0, 0},
        {d81, 1, 39, 39 * 256},
        {d81, 2, 0, 40 * 256},
        {d81, 40, 0, 399360},
        {d81, 40, 40, -1},
        {d81, 80, 39, 819200 - 256},
        {d81, 81, 0, -1},
        {d81, 0, 0, -1},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> image(c.format.standard_size);
        unsigned char* sector = find_sector(c.format, image.data(), image.size(), c.track, c.sector);
        EXPECT_EQ(sector == nullptr ? -1L : sector - image.data(), c.offset)
            << c.format.name << " " << c.track << "/" << c.sector;
    }
    EXPECT_EQ(total_sectors(d71) * SECTOR_SIZE, d71.standard_size);
    EXPECT_EQ(total_sectors(d81) * SECTOR_SIZE, d81.standard_size);
}

} // namespace
