#include "d64_properties.h"

#include <cstdlib>
#include <cstring>

#include "cli/run_options.h"
#include "d64/directory_pass.h"
#include "harness.h"
#include "platform/console_output.h"

void check_d64_pass(const std::uint8_t* image, std::size_t size, PassMode mode, const std::uint8_t* answers,
                    std::size_t answers_size) {
    start_run(answers, answers_size);
    run_options.view = mode == PassMode::view || mode == PassMode::view_blocks || mode == PassMode::view_raw;
    run_options.glyph_table = mode == PassMode::view_blocks ? &BLOCK_GLYPH_TABLE : &STANDARD_GLYPH_TABLE;
    run_options.raw_output = mode == PassMode::view_raw;
    run_options.interactive = mode == PassMode::interactive;
    run_options.line_number_given = true;
    // Views also go through the terminal conversions.
    fuzz_display = mode == PassMode::view_raw      ? Display::utf8
                   : mode == PassMode::view_blocks ? Display::safe_bytes
                                                   : Display::bytes;

    auto* buffer = static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
    std::memcpy(buffer, image, size);
    FUZZ_CHECK(handle_d64(buffer, size, "disk.out.d64", 0xBEEF) == 0);
    if (run_options.view) {
        FUZZ_CHECK(write_count == 0);
        FUZZ_CHECK(std::memcmp(buffer, image, size) == 0);
    } else {
        FUZZ_CHECK(write_count == 1);
        FUZZ_CHECK(written_bytes.size() == size);
        for (std::size_t i = 0; i < size; ++i)
            if (written_bytes[i] != image[i])
                FUZZ_CHECK(i % 256 == 6 || i % 256 == 7);
    }
    std::free(buffer);
}
