// Disk images of every format described by the sectors that differ from a
// blank one: the fuzzer spends its work on directory links and entries
// instead of on the hundreds of kilobytes of data around them.
#include <algorithm>
#include <vector>

#include "image/container_kind.h"
#include "image/disk_format.h"
#include "pass_properties.h"

using namespace mog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // Byte 0: mode, and the format; byte 1: size, and a cut of up to 63
    // sectors off the end; byte 2: how many typed answers follow. Then
    // records of track, sector, length and that many bytes written at the
    // start of the sector.
    constexpr int MODES = static_cast<int>(PassMode::count);
    auto mode = static_cast<PassMode>(data[0] % MODES);
    const DiskFormat& format = DISK_FORMATS[(data[0] / MODES) % std::size(DISK_FORMATS)];
    // Sizes a real image may have: standard or with every track the format
    // may name, each with or without an error byte per sector.
    const std::size_t all_tracks = static_cast<std::size_t>(total_sectors(format)) * SECTOR_SIZE;
    const std::size_t sizes[] = {format.standard_size, format.standard_size + format.standard_size / SECTOR_SIZE,
                                 all_tracks, all_tracks + all_tracks / SECTOR_SIZE};
    std::size_t image_size = sizes[data[1] & 3];
    image_size -= std::min<std::size_t>(image_size, (data[1] >> 2) * 255u);
    std::size_t answers_size = std::min<std::size_t>(data[2], size - 3);
    const std::uint8_t* answers = data + 3;

    std::vector<std::uint8_t> image(image_size);
    std::size_t at = 3 + answers_size;
    while (at + 3 <= size) {
        int track = data[at], sector = data[at + 1];
        std::size_t length = std::min<std::size_t>(data[at + 2], size - at - 3);
        at += 3;
        if (sector < sectors_on_track(format, track)) {
            std::size_t offset = track_offset(format, track, sector);
            for (std::size_t i = 0; i < length && offset + i < image_size; ++i)
                image[offset + i] = data[at + i];
        }
        at += length;
    }
    check_pass(Container{&DISK_CONTAINER, &format}, image.data(), image.size(), mode, answers, answers_size,
               &format == &D64 ? d64_line_number_byte : disk_line_number_byte);
    return 0;
}
