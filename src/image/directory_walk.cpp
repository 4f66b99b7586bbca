#include "image/directory_walk.h"

namespace {

unsigned char* stop_broken(DirectoryWalk& walk, int track, int sector) {
    walk.sector = nullptr;
    walk.broken = true;
    walk.broken_track = track;
    walk.broken_sector = sector;
    return nullptr;
}

} // namespace

DirectoryWalk start_directory_walk(const DiskFormat& format, unsigned char* buffer, std::size_t size) {
    DirectoryWalk walk{&format, buffer, size, nullptr, ENTRIES_PER_SECTOR, {}, false, 0, 0};
    // The anchor holds the disk's allocation data, never directory entries.
    walk.sector = find_sector(format, buffer, size, format.anchor_track, format.anchor_sector);
    if (walk.sector == nullptr)
        stop_broken(walk, format.anchor_track, format.anchor_sector);
    else
        walk.seen.set(static_cast<std::size_t>(sector_index(format, format.anchor_track, format.anchor_sector)));
    return walk;
}

unsigned char* next_directory_entry(DirectoryWalk& walk) {
    if (walk.sector == nullptr)
        return nullptr;
    if (walk.next_entry == ENTRIES_PER_SECTOR) {
        // The link of the current sector (the anchor at first) leads on.
        int track = walk.sector[0];
        int sector = walk.sector[1];
        if (track == 0) {
            walk.sector = nullptr;
            return nullptr;
        }
        walk.sector = find_sector(*walk.format, walk.buffer, walk.size, track, sector);
        if (walk.sector == nullptr)
            return stop_broken(walk, track, sector);
        auto index = static_cast<std::size_t>(sector_index(*walk.format, track, sector));
        if (walk.seen.test(index))
            return stop_broken(walk, track, sector);
        walk.seen.set(index);
        walk.next_entry = 0;
    }
    return walk.sector + DIRECTORY_ENTRY_SIZE * static_cast<std::size_t>(walk.next_entry++);
}
