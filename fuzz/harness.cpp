#include "harness.h"

#include <cstdio>
#include <cstdlib>

#include "cli/failure.h"
#include "cli/run_options.h"
#include "platform/console_output.h"
#include "platform/file_replace.h"

std::vector<unsigned char> written_bytes;
int write_count = 0;

void end_process(int status) {
    throw ProcessEnded{status};
}

int replace_file(const char*, const unsigned char* data, std::size_t size) {
    written_bytes.assign(data, data + size);
    ++write_count;
    return 0;
}

Display fuzz_display = Display::bytes;

// The tool's text is formatted as always, then dropped, so that libFuzzer's
// own report stays readable.
void console_init() {}

Display stream_display(std::FILE*) {
    return fuzz_display;
}

bool console_write(std::FILE*, const char*, std::size_t) {
    return true;
}

void start_run(const std::uint8_t* input, std::size_t input_size) {
    static std::FILE* answers = nullptr;
    static std::vector<std::uint8_t> answer_bytes;
    if (answers != nullptr)
        std::fclose(answers);
    answer_bytes.assign(input, input + input_size);
    answer_bytes.push_back(0); // fmemopen needs at least one byte; it is never read
    answers = fmemopen(answer_bytes.data(), input_size > 0 ? input_size : 1, "r");
    if (input_size == 0)
        std::fgetc(answers); // an empty stream: the only byte is consumed
    stdin = answers;

    run_options = RunOptions{};
    fuzz_display = Display::bytes;
    written_bytes.clear();
    write_count = 0;
}

void fuzz_check_failed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}
