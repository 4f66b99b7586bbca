// Whole disk images of any bytes and size, in every mode.
#include "image/disk_format.h"
#include "pass_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // Byte 0 picks the mode; in interactive mode byte 1 tells how many of the
    // following bytes are the typed answers. The rest is the image.
    auto mode = static_cast<PassMode>(data[0] % static_cast<int>(PassMode::count));
    std::size_t answers_size = mode == PassMode::interactive ? data[1] : 0;
    if (2 + answers_size > size)
        answers_size = size - 2;
    const std::uint8_t* answers = data + 2;
    const std::uint8_t* image = answers + answers_size;
    check_pass(Container{ContainerKind::disk, &D64}, image, size - 2 - answers_size, mode, answers, answers_size,
               disk_line_number_byte);
    return 0;
}
