// Failures the user must hear about, as values: the message, whether the
// usage text follows it, and the exit status. Only the run sequence prints
// them and ends the process.
#pragma once

#include <string>

#include "cli/command_line.h"
#include "cli/console.h"
#include "mog/pass.h"

namespace mog {

// Exit statuses of the tool.
constexpr int STATUS_SUCCESS = 0;
constexpr int STATUS_BAD_COMMAND_LINE = 1;
constexpr int STATUS_BAD_START_LINE = 2;
constexpr int STATUS_FILE_ERROR = 3;
constexpr int STATUS_CHECK_FAILED = 4; // --check found a start line without the number
constexpr int STATUS_OVERWRITE_REFUSED = 5;

struct Failure {
    int status = STATUS_SUCCESS; // success: no failure
    std::string message;         // for standard error, without a newline
    bool with_usage = false;     // two newlines and the usage text follow on standard output

    bool failed() const { return status != STATUS_SUCCESS; }
};

// A failure whose message is followed by the usage text.
Failure failure_with_usage(int status, const char* format, ...) MOG_PRINTF_FORMAT(2, 3);

// A failure whose message is followed by a newline only.
Failure failure_without_usage(int status, const char* format, ...) MOG_PRINTF_FORMAT(2, 3);

// What a command-line error tells the user; no failure for none.
Failure command_line_failure(const CommandLine& command_line);

// What a one-program container without its start line tells the user.
Failure pass_failure(const PassResult& result);

// A message without the "ERROR: " or "ERR: " that starts it.
std::string message_without_prefix(const std::string& message);

// The system's reason for a failed read or write, as an errno value or
// NOT_A_REGULAR_FILE.
const char* file_error_reason(int error);

} // namespace mog
