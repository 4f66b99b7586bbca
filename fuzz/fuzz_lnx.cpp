// Lynx archives of any bytes and size, in every mode.
#include "pass_properties.h"

namespace {

// A line number lies four or five bytes into a file's data: after the load
// address $0801 and the line's link, right before a SYS token. No file's
// data begins in the first block, which holds the stub and the directory.
bool lynx_line_number_byte(const std::uint8_t* archive, std::size_t size, std::size_t at) {
    constexpr std::size_t FIRST_BLOCK = 254;
    for (std::size_t into : {4, 5}) {
        const std::size_t file = at - into;
        if (at >= FIRST_BLOCK && file + 6 < size && archive[file] == 0x01 && archive[file + 1] == 0x08 &&
            archive[file + 6] == 0x9E)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const mog::Container archive = *mog::container_for_name("x.lnx");
    check_pass_on_data(archive, data, size, lynx_line_number_byte);
    return 0;
}
