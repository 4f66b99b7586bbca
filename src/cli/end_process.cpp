#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/failure.h"

// A run whose output could not be written (a full disk, a closed pipe) has
// not succeeded, whatever else went well.
void end_process(int status) {
    flush_output();
    if (output_lost() && status == STATUS_SUCCESS) {
        std::fprintf(stderr, "ERROR: Cannot write output: %s.\n", std::strerror(errno));
        status = STATUS_FILE_ERROR;
    }
    std::exit(status);
}
