// A run over a whole collection: every name a source, folders searched, one
// line per file and a summary.
#pragma once

#include "cli/file_report.h"
#include "cli/options.h"
#include "cli/reporter.h"
#include "platform/file_system.h"

namespace mog {

// Counts what became of one more file.
void count(BatchCounts& counts, const FileReport& report);

// The status a batch with these counts ends with.
int batch_status(const Options& options, const BatchCounts& counts);

// Works on every file of the batch and gives the status the run ends with:
// a file error if any file failed, otherwise a refused overwrite if any
// destination was kept (or, for a check, status 4 if any start line lacks
// the number), otherwise success.
int run_batch(const Options& options, const Reporter& reporter, FileSystem& files);

} // namespace mog
