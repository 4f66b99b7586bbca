#include "cli/failure.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/usage.h"

// After a failure the usage names the tool so, whatever name it was invoked by.
static constexpr const char* TOOL_NAME = "mog";

// A run whose output could not be written (a full disk, a closed pipe) has
// not succeeded, whatever else went well.
void end_process(int status) {
    flush_output();
    if (output_lost() && status == STATUS_SUCCESS) {
        std::fprintf(stderr, "ERROR: Cannot write output: %s.\n", std::strerror(errno));
        status = STATUS_FILE_ERROR;
    }
    std::exit(status);
}

void fail_with_usage(int status, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    say_to(stderr, format, arguments);
    va_end(arguments);
    say("\n\n");
    print_usage(TOOL_NAME);
    end_process(status);
}

void fail_without_usage(int status, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    say_to(stderr, format, arguments);
    va_end(arguments);
    say_error("\n");
    end_process(status);
}
