#include <cstdio>
#include <cstdlib>

#include "cli/failure.h"

void end_process(int status) {
    std::exit(status);
}
