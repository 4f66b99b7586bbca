// The steps every run takes with a source file: find it, read it whole,
// settle what the pass asks of its programs, write the result.
#pragma once

#include <string>
#include <vector>

#include "cli/failure.h"
#include "cli/line_prompt.h"
#include "cli/run_options.h"
#include "mog/pass.h"
#include "platform/source_memory.h"

namespace mog {

// Real containers are well under 1 MiB: a larger source is no container,
// and reading it (a 3 GiB sparse file, say) would only waste time.
constexpr std::size_t MAX_SOURCE_SIZE = 16 * 1024 * 1024;

// True when something that may be read is at the name. A source that is no
// regular file counts: it fails at the read, with its reason.
bool source_present(const char* name);

// The failure of a source that is not there.
Failure source_missing(const char* name);

// Reads the source whole into the buffer.
Failure read_source(const char* name, SourceBytes& bytes);

// What the options ask of each program; in interactive mode the user
// answers, from the input given.
PassRequest pass_request(const RunOptions& options, AnswerInput* input = nullptr);

// Writes the bytes to the destination. Replaces what is there only when
// that was agreed; otherwise something that appeared at the name since it
// was found absent stays, and the write fails.
Failure write_destination(const std::string& name, const SourceBytes& bytes, bool replace_agreed);

} // namespace mog
