// What every fuzz target shares: standard input from memory, standard
// output discarded, and a check that fails the run.
#pragma once

#include <cstddef>
#include <cstdint>

// Starts a run afresh: standard input holds the given bytes, and the tool's
// output goes to /dev/null so that libFuzzer's own report stays readable.
void start_run(const std::uint8_t* input, std::size_t input_size);

// Fails the fuzz run with a message when a property does not hold.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            fuzz_check_failed(#condition, __FILE__, __LINE__);                                                         \
    } while (false)

[[noreturn]] void fuzz_check_failed(const char* condition, const char* file, int line);
