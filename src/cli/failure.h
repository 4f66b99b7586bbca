// Failures the user must hear about, as values: the bare message, the
// prefix it is printed with, whether the usage text follows it, and the
// exit status. They are printed in one place, print_failure.
#pragma once

#include <string>

#include "mog/describe.h"
#include "text/format.h"

namespace mog {

enum class Prefix {
    none,  // the message stands alone
    error, // "ERROR: "
    err,   // "ERR: ", as the start-line messages have always had it
};

struct Failure {
    int status = STATUS_SUCCESS; // success: no failure
    Prefix prefix = Prefix::none;
    std::string message;     // without its prefix and without a newline
    bool with_usage = false; // two newlines and the usage text follow on standard output
    const char* hint = "";   // a line more for a user at a terminal

    bool failed() const { return status != STATUS_SUCCESS; }
    // The message as printed, with its prefix.
    std::string text() const;
};

// A failure whose message is followed by the usage text.
Failure failure_with_usage(int status, Prefix prefix, const char* format, ...) MOG_PRINTF_FORMAT(3, 4);

// A failure whose message is followed by a newline only.
Failure failure_without_usage(int status, Prefix prefix, const char* format, ...) MOG_PRINTF_FORMAT(3, 4);

// A status alone, with nothing to say: a check that found lines without the
// number, a destination that was kept.
Failure silent_failure(int status);

// What a one-program container without its start line tells the user.
Failure pass_failure(const PassResult& result);

// What a file that cannot be found, read or written tells the user; one
// not found is followed by the usage text.
Failure file_failure(const FileError& error);

// Prints a failure where it belongs: a batch's file's as that file's line on
// standard error; any other as the failure of the run, its message on
// standard error and after it the usage text on standard output when it has
// one and usage is wanted, else a newline. On a terminal a message always
// ends its line.
void print_failure_of(bool batch, const std::string* file, const Failure& failure, bool usage_wanted);

} // namespace mog
