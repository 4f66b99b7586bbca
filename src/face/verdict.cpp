// The judgement on a file, from what the pass found and the job.
#include "mog/verdict.h"

#include <algorithm>

#include "mog/describe.h"

namespace mog {

namespace {

// A one-program file whose first line is no start line where BASIC starts.
bool start_line_missing(PassFailure failure) {
    return failure == PassFailure::no_sys_token || failure == PassFailure::unexpected_load_address;
}

// A file named like a kind that it turns out not to be.
bool other_kind(PassFailure failure) {
    return failure == PassFailure::not_p00 || failure == PassFailure::not_lynx;
}

// A failed pass: a one-program file without its start line fails a single
// run; a batch lists it and goes on, unless it is of another kind. A check
// finds no start line in it, whatever kept it from having one.
void judge_failed_pass(const PassResult& result, const JobRules& rules, Verdict& verdict) {
    verdict.fault = Fault::pass;
    verdict.why = describe(result.failure, result);
    verdict.status = exit_status(result.failure);
    const bool missing = start_line_missing(result.failure);
    if (rules.job == Job::check && (missing || other_kind(result.failure))) {
        verdict.no_start_line = true;
        verdict.check_failed = !(missing && rules.start_line_optional) || !verdict.failing_warnings.empty();
        verdict.status = verdict.check_failed ? STATUS_CHECK_FAILED : STATUS_SUCCESS;
        if (!verdict.check_failed)
            verdict.why.clear();
        return;
    }
    if (!rules.batch || !missing) {
        verdict.outcome = Outcome::failed;
        return;
    }
    verdict.no_start_line = true;
}

// A member of an archive that could not be read: nothing but why was found
// in it.
bool unread_member(const Notice& notice) {
    switch (notice.kind) {
    case NoticeKind::member_encrypted:
    case NoticeKind::member_method:
    case NoticeKind::member_damaged:
    case NoticeKind::member_too_large:
    case NoticeKind::member_on_other_volume:
        return true;
    default:
        return false;
    }
}

} // namespace

bool fails_check(const Notice& notice, const Container& container) {
    if (describe(notice, container).empty())
        return false;
    return notice.kind != NoticeKind::size_differs || !known_layout(container, notice.size);
}

Verdict judge(const Container& container, const PassResult& result, const JobRules& rules) {
    Verdict verdict;
    for (const Notice& notice : result.notices) {
        std::string words = describe(notice, container);
        if (words.empty())
            continue;
        if (fails_check(notice, container))
            verdict.failing_warnings.push_back(words);
        verdict.warnings.push_back(std::move(words));
    }
    // A member kept as it is unread fails a check by its warning alone.
    if (std::any_of(result.notices.begin(), result.notices.end(), unread_member)) {
        verdict.check_failed = rules.job == Job::check;
        verdict.status = verdict.check_failed ? STATUS_CHECK_FAILED : STATUS_SUCCESS;
        return verdict;
    }
    if (result.failure != PassFailure::none) {
        judge_failed_pass(result, rules, verdict);
        return verdict;
    }
    verdict.lacking.reserve(result.programs.size());
    for (std::size_t k = 0; k < result.programs.size(); ++k)
        if (lacks_number(result.programs[k], rules.line_number))
            verdict.lacking.push_back(k);
    if (rules.job == Job::stamp && result.changed() > 0)
        verdict.outcome = Outcome::changed;
    if (rules.job != Job::check)
        return verdict;
    verdict.no_start_line = !result.any_start_line();
    const bool without_start_line = verdict.no_start_line && !rules.start_line_optional;
    verdict.check_failed = without_start_line || !verdict.lacking.empty() || !verdict.failing_warnings.empty();
    // A script reading the record learns why the file failed without a line.
    if (without_start_line)
        verdict.why = describe_no_start_line();
    if (verdict.check_failed)
        verdict.status = STATUS_CHECK_FAILED;
    return verdict;
}

Verdict judge(const FileError& error) {
    Verdict verdict;
    verdict.outcome = Outcome::failed;
    verdict.fault = Fault::file;
    verdict.status = exit_status(error);
    verdict.why = describe(error);
    return verdict;
}

Verdict judge_unknown_kind() {
    Verdict verdict;
    verdict.outcome = Outcome::failed;
    verdict.fault = Fault::unknown_kind;
    verdict.status = STATUS_BAD_COMMAND_LINE;
    verdict.why = describe_unknown_kind();
    return verdict;
}

} // namespace mog
