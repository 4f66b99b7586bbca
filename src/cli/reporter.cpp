#include "cli/reporter.h"

namespace mog {

const Reporter& reporter_for(const Options& options) {
    switch (options.format) {
    case OutputFormat::text:
        return TEXT_REPORTER;
    case OutputFormat::json:
        return JSON_REPORTER;
    }
    return TEXT_REPORTER;
}

} // namespace mog
