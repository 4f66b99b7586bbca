// The pass over a source's programs: each start line is shown (view mode),
// asked for (interactive mode) or set to the line number, in the buffer.
#pragma once

#include <cstddef>

#include "cli/run_options.h"

// Why a one-program source was not handled: it lacks its header, or its
// start line is not as expected.
enum class PassFailure { none, not_p00, no_sys_token, unexpected_load_address };

struct PassOutcome {
    PassFailure failure = PassFailure::none;
    unsigned load_address = 0; // for an unexpected load address
};

// Prints what the pass finds on standard output and changes line numbers in
// the buffer; writes no file and never ends the process.
PassOutcome process_programs(const RunOptions& options, unsigned char* buffer, std::size_t size, long line_number);
