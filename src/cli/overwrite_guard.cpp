#include "cli/overwrite_guard.h"

#include <cstdio>

#include "platform/console_key.h"
#include "platform/file_access.h"

namespace mog {

bool key_agrees(int key) {
    return key >= 0 && ((key & 0xFF) & 0xDF) == 'Y';
}

int read_answer_key() {
    if (stdin_is_console())
        return read_console_key();
    int first = std::getchar();
    if (first == EOF || first == '\n')
        return -1;
    // The rest of the line belongs to this answer, not to a later question.
    for (int c = first; c != EOF && c != '\n';)
        c = std::getchar();
    return first;
}

Failure guard_overwrite(const RunOptions& options) {
    const char* destination = options.destination->c_str();
    PathKind kind = path_kind(destination);
    if (kind == PathKind::absent)
        return {};
    if (!options.view && (kind == PathKind::folder || kind == PathKind::other))
        return failure_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': Not a regular file.",
                                     shown_name(stderr, destination).c_str());
    if (options.replace_without_asking)
        return {};
    // Output for scripts asks nothing: only -y replaces.
    if (options.json)
        return Failure{STATUS_OVERWRITE_REFUSED, "", false};
    ask("Destination file already exists!\n");
    ask("Press <y> to overwrite, any other to cancel. ");
    int key = read_answer_key();
    if (questions_echoed())
        say_error("\n"); // the key is not echoed: the terminal's line ends here
    if (!key_agrees(key))
        return Failure{STATUS_OVERWRITE_REFUSED, "", false};
    say("\nOverwrite activated!\n\n");
    return {};
}

} // namespace mog
