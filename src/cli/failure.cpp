#include "cli/failure.h"

#include <cstdarg>
#include <cstdio>

#include "cli/usage.h"

// After a failure the usage names the tool so, whatever name it was invoked by.
static constexpr const char* TOOL_NAME = "mog";

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
