// Commodore disk images as data: each format is a row of one table, and one
// bounds-checked lookup finds a sector in any of them.
#pragma once

#include <cstddef>

#include "mog/container.h"

namespace mog {

constexpr std::size_t SECTOR_SIZE = 256;
constexpr int MAX_ZONES = 8;

// Consecutive tracks with the same number of sectors, up to last_track.
struct TrackZone {
    int last_track;
    int sectors;
};

struct DiskFormat {
    const char* name;           // the extension without its dot, as messages name the format
    TrackZone zones[MAX_ZONES]; // from track 1 on; links to later tracks lead nowhere
    int anchor_track;           // the sector whose first bytes link to the directory
    int anchor_sector;
    std::size_t standard_size; // bytes of an image without error bytes
    const char* drive;         // the drive whose disks the format images
    int standard_tracks;       // the tracks of a standard disk; an image of them followed by one error byte per
                               // sector has no others
};

constexpr std::size_t D64_IMAGE_SIZE = 174848; // 35 tracks, 683 sectors

inline constexpr DiskFormat DISK_FORMATS[] = {
    // The 1541: 35 tracks, and the 40-track layout some images use.
    {"d64", {{17, 21}, {24, 19}, {30, 18}, {40, 17}}, 18, 0, D64_IMAGE_SIZE, "1541", 35},
    // The 1571: two sides of 35 tracks, the second repeating the first's zones.
    {"d71",
     {{17, 21}, {24, 19}, {30, 18}, {35, 17}, {52, 21}, {59, 19}, {65, 18}, {70, 17}},
     18,
     0,
     349696,
     "1571",
     70},
    // The 1581: 80 tracks of 40 sectors; the header at 40/0 links to the directory.
    {"d81", {{80, 40}}, 40, 0, 819200, "1581", 80},
};
inline constexpr const DiskFormat& D64 = DISK_FORMATS[0];

constexpr int total_sectors(const DiskFormat& format) {
    int total = 0, first = 1;
    for (const TrackZone& zone : format.zones) {
        if (zone.last_track < first)
            break;
        total += (zone.last_track - first + 1) * zone.sectors;
        first = zone.last_track + 1;
    }
    return total;
}

// Bytes of an image that holds every track the format has: the 40-track
// layout for the 1541.
constexpr std::size_t image_size(const DiskFormat& format) {
    return static_cast<std::size_t>(total_sectors(format)) * SECTOR_SIZE;
}

// The highest track a link may name.
int last_track(const DiskFormat& format);

// Number of sectors on a track, 0 for a track the format does not have.
int sectors_on_track(const DiskFormat& format, int track);

// Sectors before the given one, counted from track 1 sector 0; the track and
// sector must exist.
int sector_index(const DiskFormat& format, int track, int sector);

// Byte offset of a sector that exists.
std::size_t track_offset(const DiskFormat& format, int track, int sector);

// The highest track an image of the given size has: the standard tracks
// when the standard image is followed by one error byte per sector, since
// the bytes after them are those error bytes; otherwise every track.
int last_track_in_image(const DiskFormat& format, std::size_t size);

// The sector if the format has it, the image has its track, and it lies
// wholly within the bytes read; null otherwise.
unsigned char* find_sector(const DiskFormat& format, unsigned char* buffer, std::size_t size, int track, int sector);

} // namespace mog
