#include "cli/failure.h"

#include <cstdarg>
#include <cstring>

#include "basic/machines.h"

#include "platform/file_access.h"

namespace mog {

namespace {

Failure make_failure(int status, bool with_usage, const char* format, std::va_list arguments) {
    char text[512];
    std::va_list again;
    va_copy(again, arguments);
    int length = std::vsnprintf(text, sizeof text, format, arguments);
    Failure failure{status, "", with_usage};
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof text) {
        failure.message = text;
    } else if (length >= 0) {
        failure.message.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(failure.message.data(), failure.message.size(), format, again);
        failure.message.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return failure;
}

} // namespace

Failure failure_with_usage(int status, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    Failure failure = make_failure(status, true, format, arguments);
    va_end(arguments);
    return failure;
}

Failure failure_without_usage(int status, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    Failure failure = make_failure(status, false, format, arguments);
    va_end(arguments);
    return failure;
}

Failure command_line_failure(const CommandLine& command_line) {
    const int status = STATUS_BAD_COMMAND_LINE;
    const std::string argument = shown_name(stderr, command_line.offending.c_str());
    switch (command_line.error) {
    case CommandLineError::none:
        return {};
    case CommandLineError::line_number_missing:
        return failure_with_usage(status, "ERROR: Argument after -n missing.");
    case CommandLineError::line_number_out_of_range:
        return failure_with_usage(status, "ERROR: Bad argument -n out of range.");
    case CommandLineError::machine_missing:
        return failure_with_usage(status, "ERROR: Argument after --machine missing.");
    case CommandLineError::unknown_machine:
        return failure_with_usage(status, "ERROR: Unknown machine '%s' for --machine (valid: %s).", argument.c_str(),
                                  machine_names().c_str());
    case CommandLineError::unknown_option:
        return failure_with_usage(status, "ERROR: Unknown option '%s'.", argument.c_str());
    case CommandLineError::bad_argument:
        return failure_with_usage(status, "ERROR: Bad argument %s", argument.c_str());
    case CommandLineError::view_with_interactive:
        return failure_with_usage(status, "ERROR: Modes -v and -i don't go together.'.");
    case CommandLineError::view_with_line_number:
        return failure_with_usage(status, "ERROR: Modes -v and -n don't go together.'.");
    case CommandLineError::options_conflict:
        return failure_with_usage(status, "ERROR: Options %s don't go together.", argument.c_str());
    case CommandLineError::destination_with_check:
        return failure_with_usage(status, "ERROR: Bad argument %s", argument.c_str());
    case CommandLineError::no_source:
        return failure_with_usage(status, "ERROR: No source file given.");
    case CommandLineError::unknown_extension:
        return failure_with_usage(status, "Unknown extension of source file.");
    case CommandLineError::extensions_differ:
        return failure_with_usage(status, "ERR: File extensions must match.");
    case CommandLineError::interactive_with_one_program:
        if (std::strcmp(container_name(command_line.options.container), "p00") == 0)
            return failure_with_usage(status, "ERROR: No interactive mode for .p00 files.");
        return failure_with_usage(status, "ERROR: No interactive mode for .prg files.'.");
    }
    return {};
}

Failure pass_failure(const PassResult& result) {
    const int status = STATUS_BAD_START_LINE;
    switch (result.failure) {
    case PassFailure::none:
        return {};
    case PassFailure::unusable_bytes:
        return failure_with_usage(status, "ERROR: No program found.");
    case PassFailure::not_p00:
        return failure_with_usage(status, "ERR: Not a P00 file!");
    case PassFailure::no_sys_token:
        return failure_with_usage(status, "ERR: No SYS command where expected!");
    case PassFailure::unexpected_load_address: {
        unsigned address = result.programs.front().load_address;
        return failure_with_usage(status, "ERR: Unexpected startadress %02x%02x!", address >> 8, address & 0xFF);
    }
    }
    return {};
}

std::string message_without_prefix(const std::string& message) {
    for (const char* prefix : {"ERROR: ", "ERR: "})
        if (message.rfind(prefix, 0) == 0)
            return message.substr(std::strlen(prefix));
    return message;
}

const char* file_error_reason(int error) {
    return error == NOT_A_REGULAR_FILE ? "Not a regular file" : std::strerror(error);
}

} // namespace mog
