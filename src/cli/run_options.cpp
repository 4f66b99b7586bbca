#include "cli/run_options.h"

RunOptions run_options;
