// Ending the process, on success or on a failure the user must hear about.
#pragma once

#include "cli/console.h"

// Exit statuses of the tool.
constexpr int STATUS_SUCCESS = 0;
constexpr int STATUS_BAD_COMMAND_LINE = 1;
constexpr int STATUS_BAD_START_LINE = 2;
constexpr int STATUS_FILE_ERROR = 3;
constexpr int STATUS_OVERWRITE_REFUSED = 5;

// Ends the process; a run whose output could not be written ends with the
// status of a file error instead of success.
[[noreturn]] void end_process(int status);

// The message on standard error, two newlines and the usage text on standard
// output, then the exit with the status.
[[noreturn]] void fail_with_usage(int status, const char* format, ...) MOG_PRINTF_FORMAT(2, 3);

// The message on standard error and a newline, then the exit with the status.
[[noreturn]] void fail_without_usage(int status, const char* format, ...) MOG_PRINTF_FORMAT(2, 3);
