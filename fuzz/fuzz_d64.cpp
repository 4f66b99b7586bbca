// Whole disk images of any bytes and size, in every mode.
#include "image/disk_format.h"
#include "pass_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const mog::Container disk = *mog::container_for_name("x.d64");
    check_pass_on_data(disk, data, size, d64_line_number_byte);
    return 0;
}
