#include "cli/failure.h"

#include <cstdarg>

#include "cli/console.h"
#include "cli/texts.h"

namespace mog {

namespace {

// After a failure the usage names the tool so, whatever name it was invoked by.
constexpr const char* TOOL_NAME = "mog";

Failure make_failure(int status, Prefix prefix, bool with_usage, const char* format, std::va_list arguments) {
    return Failure{status, prefix, formatted_list(format, arguments), with_usage, ""};
}

} // namespace

std::string Failure::text() const {
    switch (prefix) {
    case Prefix::none:
        return message;
    case Prefix::error:
        return "ERROR: " + message;
    case Prefix::err:
        return "ERR: " + message;
    }
    return message;
}

Failure failure_with_usage(int status, Prefix prefix, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    Failure failure = make_failure(status, prefix, true, format, arguments);
    va_end(arguments);
    return failure;
}

Failure failure_without_usage(int status, Prefix prefix, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    Failure failure = make_failure(status, prefix, false, format, arguments);
    va_end(arguments);
    return failure;
}

Failure silent_failure(int status) {
    return Failure{status, Prefix::none, "", false, ""};
}

Failure pass_failure(const PassResult& result) {
    if (result.failure == PassFailure::none)
        return {};
    // The start-line messages have always had their short prefix.
    const Prefix prefix = result.failure == PassFailure::unusable_bytes ? Prefix::error : Prefix::err;
    return Failure{exit_status(result.failure), prefix, describe(result.failure, result), true, ""};
}

Failure file_failure(const FileError& error) {
    return Failure{exit_status(error), Prefix::error, describe(error), error.step == FileStep::find, ""};
}

namespace {

void print_failure(const Failure& failure, bool usage_wanted) {
    if (failure.message.empty())
        return;
    say_error_text(shown_name(stderr, failure.text()));
    // The usage text has always followed the message on its line; a
    // terminal ends the message's line first, as it does any message's.
    if (!failure.with_usage || on_terminal(stderr))
        say_error_text("\n");
    if (*failure.hint != '\0' && on_terminal(stderr))
        say_error_text(std::string(failure.hint) + "\n");
    if (failure.with_usage && usage_wanted) {
        say_text("\n\n");
        print_usage(TOOL_NAME);
    }
}

} // namespace

void print_failure_of(bool batch, const std::string* file, const Failure& failure, bool usage_wanted) {
    if (batch && file != nullptr)
        say_error_text(shown_name(stderr, *file + ": ERROR: " + failure.message) + "\n");
    else
        print_failure(failure, usage_wanted);
}

} // namespace mog
