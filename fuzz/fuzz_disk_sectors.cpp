// Disk images described by the sectors that differ from a blank one: the
// fuzzer spends its work on directory links and entries instead of on the
// 170 KB of data around them.
#include <vector>

#include "image/disk_format.h"
#include "pass_properties.h"

namespace {

// Sizes a real image may have: 35 or 40 tracks, with or without error bytes.
constexpr std::size_t SIZES[] = {D64_IMAGE_SIZE, D64_IMAGE_SIZE + 683, 196608, 196608 + 768};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // Byte 0: mode; byte 1: size, and a cut of up to 63 sectors off the end;
    // byte 2: how many typed answers follow. Then records of track, sector,
    // length and that many bytes written at the start of the sector.
    auto mode = static_cast<PassMode>(data[0] % static_cast<int>(PassMode::count));
    std::size_t image_size = SIZES[data[1] & 3];
    image_size -= std::min<std::size_t>(image_size, (data[1] >> 2) * 255u);
    std::size_t answers_size = std::min<std::size_t>(data[2], size - 3);
    const std::uint8_t* answers = data + 3;

    std::vector<std::uint8_t> image(image_size);
    const std::size_t anchor = track_offset(D64, D64.anchor_track, D64.anchor_sector);
    if (image_size > anchor + 1) {
        image[anchor] = 18; // a formatted disk's anchor leads to 18/1
        image[anchor + 1] = 1;
    }
    std::size_t at = 3 + answers_size;
    while (at + 3 <= size) {
        int track = data[at], sector = data[at + 1];
        std::size_t length = std::min<std::size_t>(data[at + 2], size - at - 3);
        at += 3;
        if (sector < sectors_on_track(D64, track)) {
            std::size_t offset = track_offset(D64, track, sector);
            for (std::size_t i = 0; i < length && offset + i < image_size; ++i)
                image[offset + i] = data[at + i];
        }
        at += length;
    }
    check_pass(Container{ContainerKind::disk, &D64}, image.data(), image.size(), mode, answers, answers_size,
               disk_line_number_byte);
    return 0;
}
