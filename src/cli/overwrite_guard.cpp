#include "cli/overwrite_guard.h"

#include <cerrno>
#include <cstdio>

#include "cli/line_prompt.h"
#include "platform/console_key.h"
#include "platform/file_access.h"

namespace mog {

bool key_agrees(int key) {
    return key >= 0 && ((key & 0xFF) & 0xDF) == 'Y';
}

int read_answer_key(std::string& typed_ahead) {
    if (stdin_is_console())
        return read_console_key(typed_ahead);
    int first = std::getchar();
    if (first == EOF || first == '\n')
        return -1;
    // The rest of the line belongs to this answer, not to a later question;
    // endless input without a line ending is not waited for.
    std::size_t taken = 1;
    for (int c = first; c != EOF && c != '\n' && taken < MAX_UNENDED_ANSWER; ++taken)
        c = std::getchar();
    return first;
}

OverwriteGuard guard_overwrite(const RunOptions& options) {
    const char* destination = options.destination->c_str();
    OverwriteGuard guard;
    guard.replace_agreed = options.replace_without_asking;
    PathKind kind = path_kind(destination);
    if (kind == PathKind::absent)
        return guard;
    if (!options.view && (kind == PathKind::folder || kind == PathKind::other)) {
        guard.failure = failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': Not a regular file.",
                                              shown_name(stderr, destination).c_str());
        return guard;
    }
    if (!options.view && kind == PathKind::link_loop) {
        guard.failure = failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': %s.",
                                              shown_name(stderr, destination).c_str(), file_error_reason(ELOOP));
        return guard;
    }
    if (options.replace_without_asking)
        return guard;
    // Output for scripts asks nothing: only -y replaces.
    if (options.json) {
        guard.failure = Failure{STATUS_OVERWRITE_REFUSED, "", false};
        return guard;
    }
    ask("Destination file already exists!\n");
    ask("Press <y> to overwrite, any other to cancel. ");
    int key = read_answer_key(guard.typed_ahead);
    if (questions_echoed())
        say_error("\n"); // the key is not echoed: the terminal's line ends here
    if (!key_agrees(key)) {
        guard.failure = Failure{STATUS_OVERWRITE_REFUSED, "", false};
        return guard;
    }
    guard.replace_agreed = true;
    say("\nOverwrite activated!\n\n");
    return guard;
}

} // namespace mog
