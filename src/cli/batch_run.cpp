#include "cli/batch_run.h"

#include "cli/batch_sources.h"
#include "cli/console.h"
#include "cli/file_pipeline.h"
#include "cli/progress.h"
#include "platform/interruptions.h"

namespace mog {

void count(BatchCounts& counts, const FileReport& report) {
    ++counts.files;
    const Verdict& verdict = report.verdict;
    if (!verdict.failing_warnings.empty())
        ++counts.damaged;
    else if (verdict.no_start_line && verdict.check_failed)
        ++counts.without_start_line;
    else if (!verdict.lacking.empty() && verdict.check_failed)
        ++counts.lacking;
    switch (report.outcome) {
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

int batch_status(const Options& options, const BatchCounts& counts) {
    if (counts.failed > 0)
        return STATUS_FILE_ERROR;
    if (counts.kept > 0)
        return STATUS_OVERWRITE_REFUSED;
    // A check that checked nothing has not passed.
    const bool check_failed = counts.damaged + counts.without_start_line + counts.lacking > 0 || counts.files == 0;
    return options.mode == Mode::check && check_failed ? STATUS_CHECK_FAILED : STATUS_SUCCESS;
}

int run_batch(const Options& options, const Reporter& reporter, FileSystem& files) {
    // An interruption ends the batch between files, so that every file
    // written has its line, and the summary tells how far it came.
    catch_interruptions();
    reporter.run_begins(options, nullptr);
    const std::vector<FileTask> sources = batch_sources(files, options.names, options.mode == Mode::check);
    Progress progress = start_progress();
    Session session{options, reporter, files, true};
    for (const FileTask& source : sources)
        if (!source.found_in_folder)
            if (std::optional<FileIdentity> identity = files.identity(source.place))
                session.named_sources.insert(*identity);
    BatchCounts counts;
    for (std::size_t k = 0; k < sources.size() && interruption_caught() == 0; ++k) {
        show_progress(progress, k, sources.size(), sources[k].name());
        for (const FileReport& report : process_file(session, sources[k]))
            count(counts, report);
    }
    clear_status_line();
    const int interruption = interruption_caught();
    reporter.summary(options, counts, interruption != 0);
    if (interruption != 0) {
        flush_output();
        end_interrupted(interruption);
    }
    return batch_status(options, counts);
}

} // namespace mog
