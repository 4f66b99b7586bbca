#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

void start_run(const std::uint8_t* input, std::size_t input_size) {
    static bool output_discarded = false;
    if (!output_discarded) {
        output_discarded = std::freopen("/dev/null", "w", stdout) != nullptr;
        FUZZ_CHECK(output_discarded);
    }
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
}

void fuzz_check_failed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}
