#include "cli/batch_run.h"

#include "cli/batch_sources.h"
#include "cli/console.h"
#include "cli/file_pipeline.h"
#include "cli/progress.h"

namespace mog {

namespace {

void count(BatchCounts& counts, Outcome outcome) {
    ++counts.files;
    switch (outcome) {
    case Outcome::changed:
        ++counts.changed;
        break;
    case Outcome::unchanged:
        ++counts.unchanged;
        break;
    case Outcome::kept:
        ++counts.kept;
        break;
    case Outcome::failed:
        ++counts.failed;
        break;
    }
}

} // namespace

int run_batch(const Options& options, const Reporter& reporter) {
    reporter.run_begins(options, nullptr);
    const std::vector<FileTask> sources = batch_sources(options.names);
    Progress progress = start_progress();
    Session session{options, reporter};
    BatchCounts counts;
    bool lacks_number = false;
    for (std::size_t k = 0; k < sources.size(); ++k) {
        show_progress(progress, k, sources.size(), sources[k].name);
        std::optional<FileReport> report = process_file(session, sources[k]);
        if (!report)
            continue;
        count(counts, report->outcome);
        lacks_number = lacks_number || report->lacks_number;
    }
    clear_status_line();
    reporter.summary(options, counts, false);
    if (counts.failed > 0)
        return STATUS_FILE_ERROR;
    if (counts.kept > 0)
        return STATUS_OVERWRITE_REFUSED;
    return options.mode == Mode::check && lacks_number ? STATUS_CHECK_FAILED : STATUS_SUCCESS;
}

} // namespace mog
