// The text a run prints about a pass: warnings, the listing of a view, the
// names of changed programs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/run_options.h"
#include "mog/pass.h"

namespace mog {

// What a notice tells the user, without "WARNING: " and without a newline;
// empty for a notice that a failure reports instead.
std::string notice_words(const Notice& notice, const Container& container);

// Prints the notices from the given one on, each as a warning line.
void print_notices(const std::vector<Notice>& notices, std::size_t from, const Container& container);

// Prints what the pass did, program by program: the listing in view mode,
// the changed programs' names in a rewrite. Interactive runs print nothing
// here; their questions were the dialogue.
void print_programs(const RunOptions& options, const PassResult& result, const unsigned char* bytes);

// The question for a program's new line number.
std::string line_number_question(const ProgramRecord& program, PetsciiStyle style);

} // namespace mog
