#include "cli/overwrite_guard.h"

#include <cstdio>

#include "cli/failure.h"
#include "cli/whole_file.h"
#include "platform/console_key.h"

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

void guard_overwrite(const char* destination) {
    if (!file_exists(destination))
        return;
    say("Destination file already exists!\n");
    say("Press <y> to overwrite, any other to cancel. ");
    flush_output();
    if (!key_agrees(read_answer_key()))
        end_process(STATUS_OVERWRITE_REFUSED);
    say("\nOverwrite activated!\n\n");
}
