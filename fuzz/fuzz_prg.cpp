// A PRG file of any bytes, checked, shown and rewritten.
#include <cstdlib>
#include <cstring>

#include "basic/prg.h"
#include "basic/sys_line.h"
#include "cli/run_options.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // Byte 0 picks the mode, bytes 1-2 the new line number; the rest is the file.
    const int mode = data[0] % 4;
    const long line_number = data[1] | (data[2] << 8);
    const std::size_t file_size = size - 3;
    start_run(nullptr, 0);
    run_options.view = mode != 0;
    run_options.glyph_table = mode == 2 ? &BLOCK_GLYPH_TABLE : &STANDARD_GLYPH_TABLE;
    run_options.raw_output = mode == 3;

    // Exactly the file's bytes, so that any read beyond them is caught.
    auto* buffer = static_cast<unsigned char*>(std::malloc(file_size > 0 ? file_size : 1));
    std::memcpy(buffer, data + 3, file_size);
    SysLine line{buffer, file_size};
    const bool expected = match_sys_line(line);
    try {
        FUZZ_CHECK(handle_prg(buffer, file_size, "game.out.prg", line_number) == 0);
        FUZZ_CHECK(expected);
        if (run_options.view) {
            FUZZ_CHECK(write_count == 0);
            FUZZ_CHECK(std::memcmp(buffer, data + 3, file_size) == 0);
        } else {
            // Exactly the two line-number bytes may change, and the size never.
            FUZZ_CHECK(write_count == 1);
            FUZZ_CHECK(written_bytes.size() == file_size);
            for (std::size_t i = 0; i < file_size; ++i)
                if (i != SYS_LINE_NUMBER && i != SYS_LINE_NUMBER + 1)
                    FUZZ_CHECK(written_bytes[i] == data[3 + i]);
            FUZZ_CHECK(written_bytes[SYS_LINE_NUMBER] == data[1]);
            FUZZ_CHECK(written_bytes[SYS_LINE_NUMBER + 1] == data[2]);
        }
    } catch (const ProcessEnded& ended) {
        FUZZ_CHECK(ended.status == 2);
        FUZZ_CHECK(!expected);
        FUZZ_CHECK(write_count == 0);
    }
    std::free(buffer);
    return 0;
}
