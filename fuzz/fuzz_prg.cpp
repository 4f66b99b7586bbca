// A PRG file of any bytes, checked, shown and rewritten.
#include <cstdlib>
#include <cstring>

#include "basic/sys_line.h"
#include "cli/program_pass.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // Byte 0 picks the mode, bytes 1-2 the new line number; the rest is the file.
    const int mode = data[0] % 4;
    const long line_number = data[1] | (data[2] << 8);
    const std::size_t file_size = size - 3;
    start_run(nullptr, 0);
    RunOptions options;
    options.view = mode != 0;
    options.petscii.table = mode == 2 ? &BLOCK_GLYPH_TABLE : &STANDARD_GLYPH_TABLE;
    options.petscii.raw = mode == 3;

    // Exactly the file's bytes, so that any read beyond them is caught.
    auto* buffer = static_cast<unsigned char*>(std::malloc(file_size > 0 ? file_size : 1));
    std::memcpy(buffer, data + 3, file_size);
    // Checked here from the bytes themselves: SYS at byte 6, loading at $0801.
    const bool expected = file_size > 6 && data[3 + 6] == SYS_TOKEN && data[3] == 0x01 && data[4] == 0x08;
    PassOutcome outcome = process_programs(options, buffer, file_size, line_number);
    FUZZ_CHECK((outcome.failure == PassFailure::none) == expected);
    if (outcome.failure == PassFailure::unexpected_load_address)
        FUZZ_CHECK(outcome.load_address == static_cast<unsigned>(data[3] | (data[4] << 8)));
    const std::size_t number_at = LOAD_ADDRESS_SIZE + SYS_LINE_NUMBER;
    for (std::size_t i = 0; i < file_size; ++i) {
        // Exactly the two line-number bytes may change, and only in a rewrite.
        if (expected && !options.view && i == number_at)
            FUZZ_CHECK(buffer[i] == data[1]);
        else if (expected && !options.view && i == number_at + 1)
            FUZZ_CHECK(buffer[i] == data[2]);
        else
            FUZZ_CHECK(buffer[i] == data[3 + i]);
    }
    std::free(buffer);
    return 0;
}
