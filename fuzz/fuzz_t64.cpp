// T64 tapes of any bytes and size, in every mode.
#include "pass_properties.h"

namespace {

// A line number lies two bytes into the data of an entry in use; the
// directory is read here from the raw bytes, apart from the tool's walk.
bool tape_line_number_byte(const std::uint8_t* tape, std::size_t size, std::size_t at) {
    std::size_t reserved = size >= 36 ? tape[34] | (tape[35] << 8) : 0;
    for (std::size_t k = 0; k < reserved && 64 + 32 * (k + 1) <= size; ++k) {
        const std::uint8_t* entry = tape + 64 + 32 * k;
        std::size_t offset = entry[8] | (entry[9] << 8) | (entry[10] << 16) | (static_cast<std::size_t>(entry[11]) << 24);
        if (entry[0] != 0 && (at == offset + 2 || at == offset + 3))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // Byte 0 picks the mode; in interactive mode byte 1 tells how many of the
    // following bytes are the typed answers. The rest is the tape.
    auto mode = static_cast<PassMode>(data[0] % static_cast<int>(PassMode::count));
    std::size_t answers_size = mode == PassMode::interactive ? data[1] : 0;
    if (2 + answers_size > size)
        answers_size = size - 2;
    const std::uint8_t* answers = data + 2;
    const std::uint8_t* tape = answers + answers_size;
    check_pass(Container{ContainerKind::tape, nullptr}, tape, size - 2 - answers_size, mode, answers, answers_size,
               tape_line_number_byte);
    return 0;
}
