#include "cli/batch_run.h"

#include "cli/batch_sources.h"
#include "cli/console.h"
#include "cli/file_pipeline.h"
#include "cli/progress.h"
#include "platform/interruptions.h"

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

int run_batch(const Options& options, const Reporter& reporter, FileSystem& files) {
    // An interruption ends the batch between files, so that every file
    // written has its line, and the summary tells how far it came.
    catch_interruptions();
    reporter.run_begins(options, nullptr);
    const std::vector<FileTask> sources = batch_sources(files, options.names);
    Progress progress = start_progress();
    Session session{options, reporter, files, true};
    BatchCounts counts;
    bool check_failed = false;
    for (std::size_t k = 0; k < sources.size() && interruption_caught() == 0; ++k) {
        show_progress(progress, k, sources.size(), sources[k].name());
        std::optional<FileReport> report = process_file(session, sources[k]);
        if (!report)
            continue;
        count(counts, report->outcome);
        check_failed = check_failed || report->verdict.check_failed;
    }
    clear_status_line();
    const int interruption = interruption_caught();
    reporter.summary(options, counts, interruption != 0);
    if (interruption != 0) {
        flush_output();
        end_interrupted(interruption);
    }
    if (counts.failed > 0)
        return STATUS_FILE_ERROR;
    if (counts.kept > 0)
        return STATUS_OVERWRITE_REFUSED;
    return check_failed ? STATUS_CHECK_FAILED : STATUS_SUCCESS;
}

} // namespace mog
