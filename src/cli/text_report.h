// The text a run prints about a pass: warnings, the listing of a view, the
// names of changed programs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/run_options.h"
#include "mog/pass.h"

namespace mog {

// Commodore text as the stream shows it: code page 850 characters through
// the stream's display rules, or with --unicode the C64's own characters as
// UTF-8, on every stream alike, control codes shown as visible marks.
std::string commodore_text(std::FILE* stream, const unsigned char* petscii, std::size_t size,
                           const RunOptions& options);

// What a notice tells the user, without "WARNING: " and without a newline;
// empty for a notice that a failure reports instead.
std::string notice_words(const Notice& notice, const Container& container);

// Prints the notices from the first given one to before the last, each as
// a warning line.
void print_notices(const std::vector<Notice>& notices, std::size_t from, std::size_t to, const Container& container);

// Prints what the pass did, program by program: the listing in view mode,
// the changed programs' names in a rewrite. Interactive runs print nothing
// here; their questions were the dialogue.
void print_programs(const RunOptions& options, const PassResult& result, const unsigned char* bytes);

// The question for a program's new line number, and how to show it.
struct Question {
    std::string text;
    TextOrigin origin;
};
Question line_number_question(const ProgramRecord& program, const RunOptions& options);

// Prints each start line that does not carry the line number, as a check
// lists it.
void print_check(const std::string& file, const PassResult& result, const RunOptions& options);

} // namespace mog
