// The usage and examples texts.
#pragma once

namespace mog {

void print_usage(const char* program_name);
void print_examples();

// Every option, source kind, exit status and what standard input answers.
void print_help();

// The tool's name and version.
void print_version();

} // namespace mog
