// The files a batch works on, from the names given.
#pragma once

#include <string>
#include <vector>

#include "cli/file_pipeline.h"

namespace mog {

// Each name given, in order, with each folder replaced by the files below it
// whose extension is a kind mog reads, in byte-wise order of their names;
// inside folders, files named like an earlier run's output (game.out.d64)
// are passed over unless outputs_too (a check changes nothing, so it looks
// at them), and so are symbolic links: a search never leads outside
// the folders named. A name given or reached twice is taken once; another
// name for a file already taken is left for the batch to tell, as a file may
// change its identity when it is replaced.
std::vector<FileTask> batch_sources(FileSystem& files, const std::vector<std::string>& names, bool outputs_too = false);

} // namespace mog
