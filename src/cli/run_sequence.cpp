#include "cli/run_sequence.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "basic/sys_line.h"
#include "cli/failure.h"
#include "cli/line_prompt.h"
#include "cli/overwrite_guard.h"
#include "cli/text_report.h"
#include "cli/usage.h"
#include "platform/arguments.h"
#include "platform/console_output.h"
#include "platform/file_access.h"
#include "platform/file_replace.h"
#include "platform/local_year.h"
#include "platform/whole_file.h"

namespace mog {

namespace {

// Real containers are well under 1 MiB: a larger source is no container,
// and reading it (a 3 GiB sparse file, say) would only waste time.
constexpr std::size_t MAX_SOURCE_SIZE = 16 * 1024 * 1024;

// After a failure the usage names the tool so, whatever name it was invoked by.
constexpr const char* TOOL_NAME = "mog";

// Ends the process; a run whose output could not be written (a full disk, a
// closed pipe) has not succeeded, whatever else went well.
[[noreturn]] void finish(int status) {
    flush_output();
    if (output_lost() && status == STATUS_SUCCESS) {
        std::fprintf(stderr, "ERROR: Cannot write output: %s.\n", std::strerror(errno));
        status = STATUS_FILE_ERROR;
    }
    std::exit(status);
}

[[noreturn]] void fail(const Failure& failure) {
    if (!failure.message.empty())
        say_error("%s", failure.message.c_str());
    if (failure.with_usage) {
        say("\n\n");
        print_usage(TOOL_NAME);
    } else if (!failure.message.empty()) {
        say_error("\n");
    }
    finish(failure.status);
}

void fail_if(const Failure& failure) {
    if (failure.failed())
        fail(failure);
}

// A source that is no regular file is never opened here: it fails at the
// read, with its reason.
bool source_present(const char* name) {
    switch (path_kind(name)) {
    case PathKind::absent:
    case PathKind::dangling_link:
    case PathKind::link_loop:
        return false;
    case PathKind::regular_file:
        return can_read_file(name);
    case PathKind::folder:
    case PathKind::other:
        return true;
    }
    return false;
}

// What the options ask of each program; in interactive mode the user answers.
PassRequest pass_request(const RunOptions& options, AnswerInput& input) {
    PassRequest request;
    if (options.view)
        return request;
    request.each = Decision{Action::set, static_cast<unsigned>(options.line_number)};
    if (options.interactive)
        request.ask = [style = options.petscii, &input](const ProgramRecord& program) {
            long answer = ask_line_number(line_number_question(program, style).c_str(), MAX_LINE_NUMBER, input);
            return answer == NO_CHANGE ? Decision{Action::keep} : Decision{Action::set, static_cast<unsigned>(answer)};
        };
    return request;
}

// Shows, asks for or sets each program's start line in the bytes, and
// reports what it found and did.
Failure process_programs(const RunOptions& options, std::vector<unsigned char>& bytes, AnswerInput& input) {
    ProgramWalk walk = start_program_walk(options.container, bytes.data(), bytes.size());
    const std::size_t found_at_start = walk.notices.size();
    print_notices(walk.notices, 0, options.container);
    if (options.interactive)
        ask("Enter line number for each program or <enter> for no change.\n\n");
    PassResult result = run_pass(walk, pass_request(options, input));
    Failure failure = pass_failure(result);
    if (failure.failed())
        return failure;
    print_programs(options, result, bytes.data());
    print_notices(result.notices, found_at_start, options.container);
    return {};
}

} // namespace

void run_sequence(int argc, char** argv) {
    console_init();
    argv = utf8_arguments(argc, argv);
    if (argc <= 1) {
        print_usage(argc == 1 && argv[0] != nullptr ? argv[0] : "");
        finish(STATUS_SUCCESS);
    }

    CommandLine command_line = walk_arguments(argc, argv);
    fail_if(command_line_failure(command_line));
    switch (command_line.request) {
    case Request::run:
        break;
    case Request::examples:
        print_examples();
        finish(STATUS_SUCCESS);
    case Request::help:
        print_help();
        finish(STATUS_SUCCESS);
    case Request::version:
        print_version();
        finish(STATUS_SUCCESS);
    }
    RunOptions& options = command_line.options;
    command_line.error = check_command_line(options);
    if (options.destination_derived)
        say("Destination file set to '%s'.\n", shown_name(stdout, options.destination->c_str()).c_str());
    fail_if(command_line_failure(command_line));
    if (!source_present(options.source))
        fail(failure_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: File '%s' not found.",
                                shown_name(stderr, options.source).c_str()));
    OverwriteGuard guard;
    if (options.destination) {
        guard = guard_overwrite(options);
        fail_if(guard.failure);
    }

    std::vector<unsigned char> bytes;
    if (int error = read_whole_file(options.source, MAX_SOURCE_SIZE, bytes); error != 0)
        fail(failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot read file '%s': %s.",
                                   shown_name(stderr, options.source).c_str(), file_error_reason(error)));

    if (!options.line_number_given) {
        options.line_number = local_year();
        say("Current year: %i\n", static_cast<int>(options.line_number));
    }

    AnswerInput input{guard.typed_ahead};
    fail_if(process_programs(options, bytes, input));
    if (!options.view) {
        const char* destination = options.destination->c_str();
        if (int error = replace_file(destination, bytes.data(), bytes.size(), guard.replace_agreed); error != 0)
            fail(failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': %s.",
                                       shown_name(stderr, destination).c_str(), file_error_reason(error)));
    }

    say("Done.\n");
    finish(STATUS_SUCCESS);
}

} // namespace mog
