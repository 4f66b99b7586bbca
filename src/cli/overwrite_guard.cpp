#include "cli/overwrite_guard.h"

#include <cerrno>
#include <cstdio>

#include "cli/console.h"
#include "cli/line_prompt.h"
#include "cli/texts.h"
#include "platform/console_key.h"
#include "platform/file_access.h"

namespace mog {

bool key_agrees(int key) {
    return key >= 0 && ((key & 0xFF) & 0xDF) == 'Y';
}

int read_answer_key(std::string* typed_ahead) {
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

OverwriteGuard guard_overwrite(const Options& options, FileSystem& files, const Place& place) {
    OverwriteGuard guard;
    guard.replace_agreed = options.replace_without_asking;
    const PathKind kind = files.path_kind(place);
    const std::string destination = place.path();
    if (kind == PathKind::absent)
        return guard;
    const bool writing = options.mode != Mode::view;
    if (writing && (kind == PathKind::folder || kind == PathKind::other)) {
        guard.failure = file_failure(FileError{FileStep::write, NOT_A_REGULAR_FILE, destination});
        return guard;
    }
    if (writing && kind == PathKind::link_loop) {
        guard.failure = file_failure(FileError{FileStep::write, ELOOP, destination});
        return guard;
    }
    if (options.replace_without_asking)
        return guard;
    // Output for scripts asks nothing: only -y replaces.
    if (options.format == OutputFormat::json) {
        guard.failure = silent_failure(STATUS_OVERWRITE_REFUSED);
        return guard;
    }
    ask(TEXT_DESTINATION_EXISTS);
    ask(TEXT_PRESS_Y);
    // Keys typed after the answer go to the next question, or to the shell.
    int key = read_answer_key(options.mode == Mode::interactive ? &guard.typed_ahead : nullptr);
    if (questions_echoed())
        say_error_text("\n"); // the key is not echoed: the terminal's line ends here
    if (!key_agrees(key)) {
        // At a terminal the shell's prompt starts on a line of its own.
        if (on_terminal(stdout))
            say_text("\n");
        guard.failure = silent_failure(STATUS_OVERWRITE_REFUSED);
        return guard;
    }
    guard.replace_agreed = true;
    say_text(TEXT_OVERWRITE_ACTIVATED);
    return guard;
}

} // namespace mog
