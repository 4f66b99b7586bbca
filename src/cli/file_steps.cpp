#include "cli/file_steps.h"

#include "basic/sys_line.h"
#include "cli/line_prompt.h"
#include "cli/text_report.h"
#include "platform/file_access.h"
#include "platform/file_replace.h"
#include "platform/whole_file.h"

namespace mog {

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

Failure source_missing(const char* name) {
    return failure_with_usage(STATUS_BAD_COMMAND_LINE, "ERROR: File '%s' not found.", shown_name(stderr, name).c_str());
}

Failure read_source(const char* name, SourceBytes& bytes) {
    int error = read_whole_file(name, MAX_SOURCE_SIZE, bytes);
    if (error == 0)
        return {};
    return failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot read file '%s': %s.",
                                 shown_name(stderr, name).c_str(), file_error_reason(error));
}

PassRequest pass_request(const RunOptions& options, AnswerInput* input) {
    PassRequest request;
    request.basic_starts = options.basic_starts;
    if (options.view || options.check)
        return request;
    request.each = Decision{Action::set, static_cast<unsigned>(options.line_number)};
    if (options.interactive && input != nullptr)
        request.ask = [&options, input](const ProgramRecord& program) {
            Question question = line_number_question(program, options);
            long answer = ask_line_number(question.text.c_str(), MAX_LINE_NUMBER, *input, question.origin);
            return answer == NO_CHANGE ? Decision{Action::keep} : Decision{Action::set, static_cast<unsigned>(answer)};
        };
    return request;
}

Failure write_destination(const std::string& name, const SourceBytes& bytes, bool replace_agreed) {
    int error = replace_file(name.c_str(), bytes.data(), bytes.size(), replace_agreed);
    if (error == 0)
        return {};
    return failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': %s.",
                                 shown_name(stderr, name.c_str()).c_str(), file_error_reason(error));
}

} // namespace mog
