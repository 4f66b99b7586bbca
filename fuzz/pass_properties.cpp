#include "pass_properties.h"

#include <cstdlib>
#include <cstring>

#include "cli/line_prompt.h"
#include "cli/reporter.h"
#include "harness.h"
#include "mog/pass.h"

using namespace mog;

FileReport report_of_pass(const Container& container, unsigned char* bytes, std::size_t size,
                          const PassRequest& request) {
    FileReport report;
    report.file = "x";
    report.container = container;
    report.bytes = std::span<const unsigned char>(bytes, size);
    report.result = run_pass(container, std::span(bytes, size), request);
    report.walked = true;
    return report;
}

void check_pass(const Container& container, const std::uint8_t* image, std::size_t size, PassMode mode,
                const std::uint8_t* answers, std::size_t answers_size, LineNumberRule rule) {
    start_run(answers, answers_size);
    Options options;
    const bool view = mode == PassMode::view || mode == PassMode::view_blocks || mode == PassMode::view_raw;
    options.mode = view ? Mode::view : mode == PassMode::interactive ? Mode::interactive : Mode::rewrite;
    options.style.full_blocks = mode == PassMode::view_blocks;
    if (mode == PassMode::view_raw)
        options.style.characters = TextStyle::Characters::raw;
    options.line_number_given = true;
    options.line_number = 0xBEEF;

    auto* buffer = static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
    std::memcpy(buffer, image, size);
    AnswerInput input;
    PassRequest request;
    if (options.mode == Mode::interactive)
        request = interactive_request(options, input);
    else if (!view)
        request.each = Decision{Action::set, options.line_number};
    FileReport report = report_of_pass(container, buffer, size, request);
    // Only a file of another kind fails, and it yields no program.
    FUZZ_CHECK(report.result.failure == PassFailure::none ||
               (report.result.failure == PassFailure::not_lynx && report.result.programs.empty()));
    // Every text the listing shows lies within the bytes, and is shown.
    for (const ProgramRecord& program : report.result.programs)
        FUZZ_CHECK(program.text_offset + program.text_size <= size);
    TEXT_REPORTER.file_ends(options, report);
    if (view) {
        FUZZ_CHECK(std::memcmp(buffer, image, size) == 0);
    } else {
        for (std::size_t i = 0; i < size; ++i)
            if (buffer[i] != image[i])
                FUZZ_CHECK(rule(image, size, i));
    }
    std::free(buffer);
}

void check_pass_on_data(const Container& container, const std::uint8_t* data, std::size_t size, LineNumberRule rule) {
    if (size < 2)
        return;
    auto mode = static_cast<PassMode>(data[0] % static_cast<int>(PassMode::count));
    std::size_t answers_size = mode == PassMode::interactive ? data[1] : 0;
    if (2 + answers_size > size)
        answers_size = size - 2;
    const std::uint8_t* answers = data + 2;
    check_pass(container, answers + answers_size, size - 2 - answers_size, mode, answers, answers_size, rule);
}

bool disk_line_number_byte(const std::uint8_t*, std::size_t, std::size_t at) {
    return at % 256 == 6 || at % 256 == 7;
}

bool d64_line_number_byte(const std::uint8_t* image, std::size_t size, std::size_t at) {
    constexpr std::size_t TRACKS_1_TO_35 = 174848, ERROR_BYTES = 683;
    if (size == TRACKS_1_TO_35 + ERROR_BYTES && at >= TRACKS_1_TO_35)
        return false;
    return disk_line_number_byte(image, size, at);
}
