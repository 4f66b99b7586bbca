#include "image/disk_walk.h"

#include <algorithm>
#include <cstring>

#include "image/container_kind.h"
#include "image/program_walk.h"

namespace mog {

namespace {

constexpr unsigned char DEL_TYPE_MASK = 0x07; // the type's bits: 0 is DEL

void stop_broken(WalkState& walk, int track, int sector) {
    walk.ended = true;
    add_notice(walk, Notice{NoticeKind::directory_broken, 0, 0, track, sector});
}

// A file whose first sector the format does not have is lost. DEL entries
// and entries at track 0 point nowhere on purpose (directory art,
// separators); a sector of the format beyond the bytes read is one of the
// tracks an image may leave out, or what the size warning tells. The
// directory is walked ahead, so that the notices come with the file's.
void note_files_outside_disk(WalkState& walk) {
    WalkState ahead = walk;
    const DiskFormat& format = *walk.container.format;
    std::size_t number = 0;
    while (unsigned char* entry = next_entry_in_use(ahead, next_directory_entry, ENTRY_FILE_TYPE)) {
        ++number;
        const int track = entry[ENTRY_FIRST_TRACK], sector = entry[ENTRY_FIRST_SECTOR];
        if ((entry[ENTRY_FILE_TYPE] & DEL_TYPE_MASK) == 0 || track == 0)
            continue;
        if (sector >= sectors_on_track(format, track))
            add_notice(walk, Notice{NoticeKind::entry_outside_disk, 0, 0, track, sector, number});
    }
}

void start_disk(WalkState& walk) {
    const DiskFormat& format = *walk.container.format;
    if (walk.size != format.standard_size)
        add_notice(walk, Notice{NoticeKind::size_differs, walk.size, format.standard_size});
    walk.visited.assign(static_cast<std::size_t>(total_sectors(format)), false);
    // The anchor holds the disk's allocation data, never directory entries:
    // only its link to the first directory sector is read, so an image cut
    // short after the link still leads to the directory.
    const std::size_t anchor = track_offset(format, format.anchor_track, format.anchor_sector);
    if (anchor > walk.size || walk.size - anchor < SECTOR_DATA) {
        stop_broken(walk, format.anchor_track, format.anchor_sector);
        return;
    }
    walk.at = anchor;
    walk.visited[static_cast<std::size_t>(sector_index(format, format.anchor_track, format.anchor_sector))] = true;
    walk.next_entry = ENTRIES_PER_SECTOR;
    note_files_outside_disk(walk);
}

// A directory entry's program starts in the entry's first data sector.
bool next_disk_program(WalkState& walk, Program& program) {
    unsigned char* entry = next_entry_in_use(walk, next_directory_entry, ENTRY_FILE_TYPE);
    if (entry == nullptr)
        return false;
    unsigned char* sector =
        find_sector(*walk.container.format, walk.bytes, walk.size, entry[ENTRY_FIRST_TRACK], entry[ENTRY_FIRST_SECTOR]);
    // The start line ends with its sector at the latest.
    program = Program{};
    if (sector != nullptr) {
        program = program_after_load_address(sector + SECTOR_DATA, SECTOR_SIZE - SECTOR_DATA);
        program.origin = static_cast<std::size_t>(sector - walk.bytes);
    }
    set_name(program, entry + ENTRY_NAME, ENTRY_NAME_SIZE, SHIFTED_BLANK, SHIFTED_BLANK);
    program.file_type = entry[ENTRY_FILE_TYPE];
    return true;
}

constexpr std::size_t SECTOR_PAYLOAD = SECTOR_SIZE - SECTOR_DATA;

// A file's bytes follow its chain of sectors: each sector's link leads to
// the next, a link to track 0 marks the last sector and names its last byte.
// Every link is looked up with the format's bounds, and a chain longer than
// the disk has sectors goes round in a loop: it ends there.
std::size_t read_disk_file(const WalkState& walk, const Program& program, std::size_t offset,
                           std::span<unsigned char> into) {
    if (program.line.data() == nullptr || program.origin > walk.size || walk.size - program.origin < SECTOR_SIZE)
        return 0;
    const DiskFormat& format = *walk.container.format;
    const int most_sectors = total_sectors(format);
    // No chain of the disk's sectors reaches that far (a self-dissolving
    // archive's line number often leads there): nothing to follow.
    if (offset >= static_cast<std::size_t>(most_sectors) * SECTOR_PAYLOAD)
        return 0;
    const unsigned char* sector = walk.bytes + program.origin;
    std::size_t copied = 0;
    for (int sectors = 1; copied < into.size(); ++sectors) {
        const bool last = sector[0] == 0;
        // The last sector's link byte names the last byte used; a smaller
        // value holds no data.
        const std::size_t payload =
            last ? (sector[1] >= SECTOR_DATA ? sector[1] - SECTOR_DATA + 1 : 0) : SECTOR_PAYLOAD;
        if (offset < payload) {
            const std::size_t count = std::min(payload - offset, into.size() - copied);
            std::memcpy(into.data() + copied, sector + SECTOR_DATA + offset, count);
            copied += count;
            offset = 0;
        } else {
            offset -= payload;
        }
        if (last || sectors == most_sectors)
            break;
        sector = find_sector(format, walk.bytes, walk.size, sector[0], sector[1]);
        if (sector == nullptr)
            break;
    }
    return copied;
}

} // namespace

unsigned char* next_directory_entry(WalkState& walk) {
    if (walk.ended)
        return nullptr;
    if (walk.next_entry == ENTRIES_PER_SECTOR) {
        // The link of the current sector (the anchor at first) leads on.
        const DiskFormat& format = *walk.container.format;
        int track = walk.bytes[walk.at];
        int sector = walk.bytes[walk.at + 1];
        if (track == 0) {
            walk.ended = true;
            return nullptr;
        }
        unsigned char* next = find_sector(format, walk.bytes, walk.size, track, sector);
        if (next == nullptr) {
            stop_broken(walk, track, sector);
            return nullptr;
        }
        auto index = static_cast<std::size_t>(sector_index(format, track, sector));
        if (walk.visited[index]) {
            stop_broken(walk, track, sector);
            return nullptr;
        }
        walk.visited[index] = true;
        walk.at = static_cast<std::size_t>(next - walk.bytes);
        walk.next_entry = 0;
    }
    return walk.bytes + walk.at + DIRECTORY_ENTRY_SIZE * walk.next_entry++;
}

const ContainerKind DISK_CONTAINER = {
    "disk", nullptr, DISK_FORMATS, nullptr, nullptr, true, start_disk, next_disk_program, read_disk_file,
};

} // namespace mog
