// Whole disk images of any bytes and size, in every mode.
#include "image/disk_format.h"
#include "pass_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check_pass_on_data(Container{ContainerKind::disk, &D64}, data, size, disk_line_number_byte);
    return 0;
}
