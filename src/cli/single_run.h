// A run over one source: the text a user reads as it goes, the questions,
// and the report of what was done.
#pragma once

#include <vector>

#include "cli/file_report.h"
#include "cli/run_options.h"
#include "platform/source_memory.h"

namespace mog {

// Shows, asks for, checks or sets each program's start line in the source,
// and writes the destination. Prints the text of the run but its end (a
// failure's message, "Done."); the report's failure holds the status the
// run ends with. The bytes hold what was read, as the report refers to them.
FileReport run_single(RunOptions& options, SourceBytes& bytes);

} // namespace mog
