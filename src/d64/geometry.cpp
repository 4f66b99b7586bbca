#include "d64/geometry.h"

namespace {

constexpr int sectors_in_zone(int track) {
    if (track < 1 || track > MAX_TRACK)
        return 0;
    if (track <= 17)
        return 21;
    if (track <= 24)
        return 19;
    if (track <= 30)
        return 18;
    return 17;
}

struct TrackTable {
    std::uint32_t start[MAX_TRACK + 1]; // byte offset of sector 0, by track
    int first_index[MAX_TRACK + 1];     // number of sectors before the track
};

constexpr TrackTable build_track_table() {
    TrackTable table{};
    int index = 0;
    for (int track = 1; track <= MAX_TRACK; ++track) {
        table.first_index[track] = index;
        table.start[track] = static_cast<std::uint32_t>(index) * SECTOR_SIZE;
        index += sectors_in_zone(track);
    }
    return table;
}

constexpr TrackTable TRACKS = build_track_table();
static_assert(TRACKS.start[18] == DIRECTORY_ANCHOR);
static_assert(TRACKS.start[36] == D64_IMAGE_SIZE);
static_assert(TRACKS.first_index[MAX_TRACK] + sectors_in_zone(MAX_TRACK) == MAX_SECTORS);

bool sector_exists(int track, int sector) {
    return sector >= 0 && sector < sectors_in_zone(track);
}

} // namespace

int sectors_on_track(int track) {
    return sectors_in_zone(track);
}

std::uint32_t track_offset(int track, int sector) {
    return TRACKS.start[track] + static_cast<std::uint32_t>(sector) * SECTOR_SIZE;
}

unsigned char* find_sector(unsigned char* buffer, std::size_t size, int track, int sector) {
    if (!sector_exists(track, sector))
        return nullptr;
    std::size_t offset = track_offset(track, sector);
    if (offset > size || size - offset < SECTOR_SIZE)
        return nullptr;
    return buffer + offset;
}

DirectoryWalk start_directory_walk(unsigned char* buffer, std::size_t size) {
    DirectoryWalk walk{buffer, size, nullptr, ENTRIES_PER_SECTOR, {}};
    walk.sector = find_sector(buffer, size, DIRECTORY_ANCHOR_TRACK, DIRECTORY_ANCHOR_SECTOR);
    // The anchor holds the disk's allocation data, never directory entries.
    walk.seen.set(static_cast<std::size_t>(TRACKS.first_index[DIRECTORY_ANCHOR_TRACK] + DIRECTORY_ANCHOR_SECTOR));
    return walk;
}

unsigned char* next_directory_entry(DirectoryWalk& walk) {
    if (walk.sector == nullptr)
        return nullptr;
    if (walk.next_entry == ENTRIES_PER_SECTOR) {
        // The link of the current sector (the anchor at first) leads on.
        int track = walk.sector[0];
        int sector = walk.sector[1];
        walk.sector = find_sector(walk.buffer, walk.size, track, sector);
        if (walk.sector == nullptr)
            return nullptr;
        int index = TRACKS.first_index[track] + sector;
        if (walk.seen.test(static_cast<std::size_t>(index))) {
            walk.sector = nullptr;
            return nullptr;
        }
        walk.seen.set(static_cast<std::size_t>(index));
        walk.next_entry = 0;
    }
    return walk.sector + DIRECTORY_ENTRY_SIZE * static_cast<std::size_t>(walk.next_entry++);
}
