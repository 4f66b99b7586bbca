// What every fuzz target shares: the process ending becomes an exception the
// target can observe, writes land in memory, and output goes nowhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Thrown where the tool would end the process.
struct ProcessEnded {
    int status;
};

// The bytes of the last write, and how many writes there were.
extern std::vector<unsigned char> written_bytes;
extern int write_count;

// How the discarded output would be shown; a target may pick another.
enum class Display;
extern Display fuzz_display;

// Starts a run afresh: default options, no writes seen, output shown as
// bytes, standard input holding the given bytes.
void start_run(const std::uint8_t* input, std::size_t input_size);

// Fails the fuzz run with a message when a property does not hold.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            fuzz_check_failed(#condition, __FILE__, __LINE__);                                                         \
    } while (false)

[[noreturn]] void fuzz_check_failed(const char* condition, const char* file, int line);
