#include "image/disk_format.h"

namespace mog {

int last_track(const DiskFormat& format) {
    int last = 0;
    for (const TrackZone& zone : format.zones)
        if (zone.last_track > last)
            last = zone.last_track;
    return last;
}

int sectors_on_track(const DiskFormat& format, int track) {
    if (track < 1)
        return 0;
    for (const TrackZone& zone : format.zones)
        if (track <= zone.last_track)
            return zone.sectors;
    return 0;
}

int sector_index(const DiskFormat& format, int track, int sector) {
    int index = 0, first = 1;
    for (const TrackZone& zone : format.zones) {
        if (track <= zone.last_track)
            return index + (track - first) * zone.sectors + sector;
        index += (zone.last_track - first + 1) * zone.sectors;
        first = zone.last_track + 1;
    }
    return index;
}

std::size_t track_offset(const DiskFormat& format, int track, int sector) {
    return static_cast<std::size_t>(sector_index(format, track, sector)) * SECTOR_SIZE;
}

int last_track_in_image(const DiskFormat& format, std::size_t size) {
    const bool with_error_bytes = size == format.standard_size + format.standard_size / SECTOR_SIZE;
    return with_error_bytes ? format.standard_tracks : last_track(format);
}

unsigned char* find_sector(const DiskFormat& format, unsigned char* buffer, std::size_t size, int track, int sector) {
    if (track < 1 || sector < 0)
        return nullptr;
    // Every image holds the standard tracks; those past them only some.
    if (track > format.standard_tracks && track > last_track_in_image(format, size))
        return nullptr;
    // One walk over the zones finds the track's sectors and where it starts,
    // as sectors_on_track and sector_index would.
    int index = 0, first = 1;
    for (const TrackZone& zone : format.zones) {
        if (track <= zone.last_track) {
            if (sector >= zone.sectors)
                return nullptr;
            const auto offset = static_cast<std::size_t>(index + (track - first) * zone.sectors + sector) * SECTOR_SIZE;
            return offset > size || size - offset < SECTOR_SIZE ? nullptr : buffer + offset;
        }
        index += (zone.last_track - first + 1) * zone.sectors;
        first = zone.last_track + 1;
    }
    return nullptr;
}

} // namespace mog
