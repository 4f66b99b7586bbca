// T64 tapes of any bytes and size, in every mode.
#include "pass_properties.h"

namespace {

// A line number lies two bytes into the data of an entry in use, data that
// begins after the directory; the directory is read here from the raw
// bytes, apart from the tool's walk. A directory size of 0 counts as one
// entry when its slot is there.
bool tape_line_number_byte(const std::uint8_t* tape, std::size_t size, std::size_t at) {
    std::size_t reserved = size >= 36 ? tape[34] | (tape[35] << 8) : 0;
    if (reserved == 0 && size >= 64 + 32)
        reserved = 1;
    const std::size_t directory_end = 64 + 32 * reserved;
    for (std::size_t k = 0; k < reserved && 64 + 32 * (k + 1) <= size; ++k) {
        const std::uint8_t* entry = tape + 64 + 32 * k;
        std::size_t offset =
            entry[8] | (entry[9] << 8) | (entry[10] << 16) | (static_cast<std::size_t>(entry[11]) << 24);
        if (entry[0] != 0 && offset >= directory_end && (at == offset + 2 || at == offset + 3))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const mog::Container tape = *mog::container_for_name("x.t64");
    check_pass_on_data(tape, data, size, tape_line_number_byte);
    return 0;
}
