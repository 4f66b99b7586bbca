#include "cli/file_pipeline.h"

#include <cstring>

#include "cli/console.h"
#include "cli/overwrite_guard.h"
#include "cli/texts.h"
#include "image/container_kind.h"
#include "mog/names.h"
#include "platform/interruptions.h"
#include "sources/zipcode_set.h"

namespace mog {

namespace {

// One container a source holds: the file itself, a member of an archive, the
// disk a Zip-Code set holds. The pass changes its bytes in place.
struct Piece {
    FileReport report;
    std::span<unsigned char> bytes;
    std::optional<std::size_t> member; // its position among the archive's members
    bool writable = true;              // a member kept as it is never gets new content
};

// A file as read, and the containers it holds.
struct Source {
    Place place;
    SourceName kind;
    std::vector<Piece> pieces;
    OpenedArchive archive;                               // a zip's or a gzip's
    std::array<Bytes, ZIPCODE_PARTS> parts;          // a Zip-Code set's files, part 1 first
    std::array<FileStamp, ZIPCODE_PARTS> part_stamps; // as they were read
    DiskSet set;                                     // the disk the set holds
    FileStamp stamp;                                 // of the file read
    bool stamp_known = false;
};

void fail(FileReport& report, const Failure& failure) {
    report.failure = failure;
    report.outcome = Outcome::failed;
}

PassRequest request_for(const Options& options, SingleRun* single) {
    if (options.mode == Mode::interactive && single != nullptr)
        return interactive_request(options, single->answers);
    PassRequest request;
    request.basic_starts = options.basic_starts;
    if (options.changes_files())
        request.each = Decision{Action::set, options.line_number};
    return request;
}

// What the tool says about the verdict: a failed pass in its own words, a
// status alone for what a check or a batch found.
Failure failure_of(const FileReport& report) {
    const Verdict& verdict = report.verdict;
    if (verdict.fault == Fault::pass && verdict.status != STATUS_CHECK_FAILED && verdict.status != STATUS_SUCCESS)
        return pass_failure(report.result);
    return verdict.status != STATUS_SUCCESS ? silent_failure(verdict.status) : Failure{};
}

// True for another name of a file the batch already worked on, as the name
// leads to it now.
bool seen_before(const Session& session, const std::optional<FileIdentity>& identity) {
    return session.options.batch() && identity && session.done.count(*identity) != 0;
}

// What the steps up to the read found out.
struct Reading {
    bool passed_over = false;             // another name for a file already worked on
    std::optional<FileIdentity> identity; // of the file, where it could be had
    bool replace_agreed = false;          // a single run's destination may be replaced
};

// A name that could not be searched, or is of no kind mog reads.
Reading refuse(Session& session, const FileTask& task, FileReport& report) {
    Reading reading;
    reading.identity = session.files.identity(task.place);
    reading.passed_over = seen_before(session, reading.identity);
    if (reading.passed_over)
        return reading;
    if (task.search_error != 0) {
        fail(report, failure_without_usage(STATUS_FILE_ERROR, Prefix::error, TEXT_CANNOT_SEARCH, report.file.c_str(),
                                           std::strerror(task.search_error)));
    } else {
        report.verdict = judge_unknown_kind();
        fail(report, failure_with_usage(STATUS_BAD_COMMAND_LINE, Prefix::none, "%s", report.verdict.why.c_str()));
    }
    return reading;
}

void fail_reading(FileReport& report, const FileError& error) {
    report.verdict = judge(error);
    fail(report, file_failure(error));
}

// The steps up to the read, and the question of a single run before it.
Reading read(Session& session, const FileTask& task, SingleRun* single, Source& source, FileReport& report) {
    Reading reading;
    bool asked_and_refused = false;
    // The question comes once the source is known to be there; a file
    // another name of the batch led to is not read again.
    auto opened = [&]() {
        if (single == nullptr || !single->target.destination)
            return true;
        OverwriteGuard guard =
            guard_overwrite(session.options, session.files, Place{nullptr, *single->target.destination});
        if (guard.failure.failed()) {
            fail(report, guard.failure);
            asked_and_refused = true;
            return false;
        }
        reading.replace_agreed = guard.replace_agreed;
        single->answers.typed_ahead = guard.typed_ahead;
        return true;
    };
    // What a folder search found is read only as what it was found to be,
    // never through a link put in its place since: its place says so.
    const SourceRead read = session.files.read(task.place, MAX_FILE_SIZE, session.buffer, opened);
    if (read.identity_known) {
        reading.identity = read.stamp.identity;
        source.stamp = read.stamp;
        source.stamp_known = true;
    }
    reading.passed_over = seen_before(session, reading.identity);
    if (reading.passed_over || asked_and_refused)
        return reading;
    if (read.error)
        fail_reading(report, *read.error);
    return reading;
}

// A piece named as its source, or as a member of it.
Piece piece_of(const FileReport& head, const Container& container, std::span<unsigned char> bytes,
               const std::string* member = nullptr) {
    Piece piece;
    piece.report.file = member != nullptr ? member_path(head.file, *member) : head.file;
    if (member != nullptr)
        piece.report.member = *member;
    piece.report.container = container;
    piece.bytes = bytes;
    return piece;
}

// The other parts of a Zip-Code set, read beside the one named; a part that
// cannot be read, or a set that does not decode, fails the set naming the part.
void open_zipcode_set(Session& session, const FileTask& task, Source& source, FileReport& head) {
    const int named = zipcode_part_number(task.place.name);
    source.parts[static_cast<std::size_t>(named - 1)] = std::move(session.buffer);
    source.part_stamps[static_cast<std::size_t>(named - 1)] = source.stamp;
    DiskSetParts parts;
    std::array<std::string, ZIPCODE_PARTS> names;
    for (int part = 1; part <= ZIPCODE_PARTS; ++part) {
        const auto at = static_cast<std::size_t>(part - 1);
        const Place place = task.place.sibling(zipcode_part_path(task.place.name, part));
        names[at] = place.path();
        if (part != named) {
            const SourceRead read = session.files.read(place, MAX_FILE_SIZE, source.parts[at]);
            if (read.error)
                return fail_reading(head, *read.error);
            source.part_stamps[at] = read.stamp;
        }
        parts[at] = source.parts[at];
    }
    source.set = open_disk_set(parts, names);
    if (!source.set.error.empty())
        return fail(head, failure_without_usage(STATUS_FILE_ERROR, Prefix::error, "%s", source.set.error.c_str()));
    source.pieces.push_back(piece_of(head, *source.kind.container, source.set.disk));
}

// A zip's or gzip's members of the kinds mog reads.
void open_archive_members(Session& session, Source& source, FileReport& head) {
    source.archive = open_archive(source.kind.kind, source.place.name, session.buffer, &session.spare);
    if (source.archive.error != 0)
        return fail_reading(head, FileError{FileStep::read, source.archive.error, head.file});
    for (std::size_t k = 0; k < source.archive.members.size(); ++k) {
        ArchiveMember& member = source.archive.members[k];
        Piece piece = piece_of(head, member.container, member.bytes, &member.name);
        piece.member = k;
        piece.writable = !member.problem;
        if (k == 0)
            piece.report.result.notices = source.archive.notices;
        if (member.problem)
            piece.report.result.notices.push_back(*member.problem);
        source.pieces.push_back(std::move(piece));
    }
}

// The containers the file holds.
void open_pieces(Session& session, const FileTask& task, Source& source, FileReport& head) {
    switch (source.kind.kind) {
    case SourceKind::container:
        source.pieces.push_back(piece_of(head, *source.kind.container, session.buffer));
        return;
    case SourceKind::zipcode:
        return open_zipcode_set(session, task, source, head);
    case SourceKind::zip:
    case SourceKind::gzip:
        return open_archive_members(session, source, head);
    }
}

// True for a file that only looks like its kind: real collections hold .p64
// files, which are flux-level disk images. A search, or an archive, passes
// over such a file.
bool other_kind(const ProgramWalk& walk) {
    for (const Notice& notice : walk.notices())
        if (notice.kind == NoticeKind::not_p00 || notice.kind == NoticeKind::not_lynx)
            return true;
    return false;
}

// Hashes of what was read, for the records of a collection's index.
void note_hashes(const Options& options, FileReport& report, std::span<const unsigned char> bytes) {
    if (options.format == OutputFormat::json)
        report.hashes = Hashes{crc32_text(bytes), sha1_text(bytes)};
}

// Walks a piece and passes over its programs, and judges them. Gives false
// when the piece is passed over.
bool pass_piece(Session& session, const FileTask& task, SingleRun* single, Source& source, Piece& piece) {
    const Options& options = session.options;
    FileReport& report = piece.report;
    report.bytes = piece.bytes;
    // A member that could not be read is kept as it is; what is said of it is why.
    if (piece.member && source.archive.members[*piece.member].bytes.empty() && !piece.writable) {
        report.walked = true;
        report.verdict = judge(*report.container, report.result, job_rules(options));
        report.failure = failure_of(report);
        return true;
    }
    note_hashes(options, report, piece.bytes);
    ProgramWalk walk = start_program_walk(*report.container, piece.bytes);
    const bool archived = source.kind.kind == SourceKind::zip || source.kind.kind == SourceKind::gzip;
    if ((task.found_in_folder || archived) && other_kind(walk))
        return false;
    std::vector<Notice> notices = report.result.notices;
    report.result.notices = walk.notices();
    report.result.notices.insert(report.result.notices.begin(), notices.begin(), notices.end());
    session.reporter.file_begins(options, report);
    if (options.mode == Mode::interactive)
        ask(TEXT_ENTER_LINE_NUMBERS);
    PassRequest request = request_for(options, single);
    if (!piece.writable)
        request.each = Decision{}; // looked at, never changed
    report.result = run_pass(walk, request);
    report.result.notices.insert(report.result.notices.begin(), notices.begin(), notices.end());
    report.walked = true;
    JobRules rules = job_rules(options);
    rules.batch = rules.batch || source.pieces.size() > 1 || archived;
    report.verdict = judge(*report.container, report.result, rules);
    report.outcome = report.verdict.outcome;
    report.failure = failure_of(report);
    return true;
}

// Where a change of the source goes, and how it is written.
struct Target {
    Place place;
    ReplaceRules rules;
};

// The new bytes of the file the source is: the container itself, or the
// archive with its changed members.
int assemble(Session& session, Source& source, Bytes& out, std::span<const unsigned char>& bytes) {
    if (source.kind.kind == SourceKind::container) {
        bytes = session.buffer;
        return 0;
    }
    std::vector<MemberContent> contents;
    for (const Piece& piece : source.pieces)
        if (piece.member && piece.writable && piece.report.result.changed() > 0)
            contents.push_back({*piece.member, piece.bytes});
    const int error = rewrite_archive(source.archive, session.buffer, contents, out);
    bytes = out;
    return error;
}

void note_written(Session& session, Source& source, const std::optional<Replaced>& replaced,
                  const std::string& written) {
    if (replaced)
        session.written.insert(replaced->identity);
    if (replaced && session.options.scope == Scope::in_place)
        session.done.insert(replaced->identity);
    for (Piece& piece : source.pieces) {
        piece.report.written = written;
        piece.report.destination = written;
        if (piece.report.outcome != Outcome::failed && (piece.report.result.changed() > 0 || source.pieces.size() == 1))
            piece.report.outcome = Outcome::changed;
    }
}

void fail_pieces(Source& source, const Failure& failure, const std::string& destination, int code = 0) {
    for (Piece& piece : source.pieces) {
        piece.report.destination = destination;
        if (piece.report.outcome == Outcome::failed)
            continue;
        fail(piece.report, failure);
        if (code == FILE_CHANGED)
            piece.report.kept_because = KeptBecause::file_changed;
        else if (code == FILE_BEING_WRITTEN)
            piece.report.kept_because = KeptBecause::file_being_written;
    }
}

// A write that failed: the file's failure, or a file left as it is because
// another program changed it or is writing it.
void fail_write(Source& source, int error, const std::string& destination) {
    fail_pieces(source, file_failure(FileError{FileStep::write, error, destination}), destination, error);
}

// Writes a Zip-Code set: the changed parts in place, or every part of the
// new set beside it; each part whole or not at all.
void write_zipcode_set(Session& session, Source& source, const Target& target) {
    DiskSetParts parts;
    for (std::size_t k = 0; k < parts.size(); ++k)
        parts[k] = source.parts[k];
    const auto coded = rewrite_disk_set(source.set, parts, source.set.disk);
    const bool in_place = session.options.scope == Scope::in_place;
    std::optional<HeldInterruptions> held;
    if (!session.interruptions_caught)
        held.emplace();
    for (int part = 1; part <= ZIPCODE_PARTS; ++part) {
        const auto at = static_cast<std::size_t>(part - 1);
        if (in_place && !coded[at])
            continue;
        const std::span<const unsigned char> bytes =
            coded[at] ? std::span<const unsigned char>(*coded[at]) : std::span<const unsigned char>(source.parts[at]);
        const Place place = target.place.sibling(zipcode_part_path(target.place.name, part));
        ReplaceRules rules = target.rules;
        if (in_place)
            rules.unchanged_since = source.part_stamps[at];
        const Replaced replaced = session.files.replace(place, bytes, rules);
        if (replaced.error != 0)
            return fail_write(source, replaced.error, place.path());
        session.written.insert(replaced.identity);
    }
    note_written(session, source, std::nullopt, target.place.path());
}

// Writes the source's new bytes as agreed, and notes what was written.
void write(Session& session, Source& source, const Target& target) {
    if (source.kind.kind == SourceKind::zipcode)
        return write_zipcode_set(session, source, target);
    Bytes assembled;
    std::span<const unsigned char> bytes;
    const std::string destination = target.place.path();
    if (const int error = assemble(session, source, assembled, bytes); error != 0)
        return fail_write(source, error, destination);
    Replaced replaced;
    {
        std::optional<HeldInterruptions> held;
        if (!session.interruptions_caught)
            held.emplace();
        replaced = session.files.replace(target.place, bytes, target.rules);
    }
    if (replaced.error != 0)
        return fail_write(source, replaced.error, destination);
    note_written(session, source, replaced, destination);
}

void keep(Source& source, KeptBecause because, const std::string& destination) {
    for (Piece& piece : source.pieces) {
        FileReport& report = piece.report;
        report.destination = destination;
        if (report.outcome != Outcome::changed)
            continue;
        report.outcome = Outcome::kept;
        report.kept_because = because;
        report.failure = silent_failure(STATUS_OVERWRITE_REFUSED);
    }
}

// In a batch only what changes is written: a second identical run writes
// nothing. In place the file itself is replaced, written through a link only
// where the link was named (a file's place in a folder a search found says
// it never is); a derived destination is replaced only with -y, and never
// one that appeared meanwhile, and never through a link, nor over a file the
// batch was given.
void write_batch_source(Session& session, const FileTask& task, Source& source) {
    const Options& options = session.options;
    if (options.scope == Scope::in_place)
        return write(session, source,
                     Target{task.place, ReplaceRules{true, Links::follow,
                                                     source.stamp_known ? std::optional(source.stamp) : std::nullopt}});
    const Place destination = task.place.sibling(default_destination(task.place.name));
    const std::string shown = destination.path();
    const NameUse use = session.files.name_use(destination);
    // A link there leads who knows where: it is not written through.
    if (use == NameUse::link)
        return keep(source, KeptBecause::destination_is_link, shown);
    const bool exists = use == NameUse::taken;
    if (exists) {
        const std::optional<FileIdentity> identity = session.files.identity(destination);
        // Two sources, such as game.d64 and game.D64, may have one default
        // destination: the second must not replace the first one's result.
        if (identity && session.written.count(*identity) != 0)
            return fail_pieces(source,
                               failure_without_usage(STATUS_FILE_ERROR, Prefix::error, TEXT_OTHER_FILE_WRITTEN_THERE,
                                                     shown.c_str()),
                               shown);
        if (identity && session.named_sources.count(*identity) != 0)
            return keep(source, KeptBecause::destination_is_source, shown);
        if (!options.replace_without_asking)
            return keep(source, KeptBecause::destination_exists, shown);
    }
    write(session, source, Target{destination, ReplaceRules{exists, Links::refuse, std::nullopt}});
}

bool any_changed(const Source& source) {
    for (const Piece& piece : source.pieces)
        if (piece.report.outcome == Outcome::changed)
            return true;
    return false;
}

// Writes what is to be written: a single run its destination, a batch what changed.
void write_source(Session& session, const FileTask& task, SingleRun* single, Source& source, bool replace_agreed) {
    const Options& options = session.options;
    if (!options.changes_files() || source.pieces.empty())
        return;
    if (single == nullptr) {
        if (any_changed(source))
            write_batch_source(session, task, source);
        return;
    }
    for (const Piece& piece : source.pieces)
        if (piece.report.outcome == Outcome::failed)
            return;
    const Place destination{nullptr, *single->target.destination};
    ReplaceRules rules{replace_agreed, Links::follow, std::nullopt};
    // Written over the file read, the file is replaced in place: only while
    // it is still as read and no other program writes it.
    if (replace_agreed && source.stamp_known && session.files.identity(destination) == source.stamp.identity)
        rules.unchanged_since = source.stamp;
    write(session, source, Target{destination, rules});
}

// Tells what became of each piece, or of the file when it yields none.
std::vector<FileReport> report(Session& session, SingleRun* single, Source& source, FileReport& head) {
    std::vector<FileReport> reports;
    if (source.pieces.empty() || head.outcome == Outcome::failed)
        reports.push_back(std::move(head));
    else
        for (Piece& piece : source.pieces)
            reports.push_back(std::move(piece.report));
    for (FileReport& report : reports) {
        if (report.written && session.options.format == OutputFormat::json)
            report.new_hashes = Hashes{crc32_text(report.bytes), sha1_text(report.bytes)};
        session.reporter.file_ends(session.options, report);
        const bool said = report.kept_because == KeptBecause::file_changed ||
                          report.kept_because == KeptBecause::file_being_written;
        if (!said && (report.outcome == Outcome::failed || (single != nullptr && report.failure.failed())))
            session.reporter.failure(session.options, &report, report.failure);
    }
    // The file's lines are whole in the log before the next file is begun.
    flush_output();
    return reports;
}

// A Zip-Code set is the file of its first part: named by another part too,
// it is taken once.
std::optional<FileIdentity> set_identity(Session& session, const FileTask& task) {
    return session.files.identity(task.place.sibling(zipcode_part_path(task.place.name, 1)));
}

} // namespace

JobRules job_rules(const Options& options) {
    JobRules rules;
    rules.job = options.mode == Mode::view ? Job::list : options.mode == Mode::check ? Job::check : Job::stamp;
    rules.line_number = options.line_number;
    rules.batch = options.batch() || options.textconv;
    rules.start_line_optional = options.start_line_optional;
    return rules;
}

std::vector<FileReport> process_file(Session& session, const FileTask& task, SingleRun* single) {
    Source source;
    source.place = task.place;
    FileReport head;
    head.file = task.name();
    const std::optional<SourceName> kind =
        single != nullptr ? std::optional(single->target.kind) : source_for_name(task.place.name);
    Reading reading = task.search_error != 0 || !kind ? refuse(session, task, head)
                                                      : read(session, task, single, source, head);
    const bool set = kind && kind->kind == SourceKind::zipcode;
    if (set && head.outcome != Outcome::failed) {
        reading.identity = set_identity(session, task);
        reading.passed_over = seen_before(session, reading.identity);
    }
    if (reading.passed_over)
        return {};
    if (kind) {
        source.kind = *kind;
        head.container = kind->container;
    }
    if (head.outcome != Outcome::failed)
        open_pieces(session, task, source, head);
    for (std::size_t k = 0; k < source.pieces.size(); ++k) {
        source.pieces[k].report.piece = k;
        source.pieces[k].report.pieces = source.pieces.size();
    }
    if (head.outcome != Outcome::failed) {
        std::vector<Piece> kept;
        for (Piece& piece : source.pieces)
            if (pass_piece(session, task, single, source, piece))
                kept.push_back(std::move(piece));
        source.pieces = std::move(kept);
        // A file of another kind found in a folder is passed over; an
        // archive without a container of a kind mog reads holds no start line.
        if (source.pieces.empty() && source.kind.kind == SourceKind::container)
            return {};
        if (source.pieces.empty()) {
            head.verdict = judge(Container{}, PassResult{}, job_rules(session.options));
            head.outcome = head.verdict.outcome;
            head.failure = failure_of(head);
        }
        write_source(session, task, single, source, reading.replace_agreed);
    }
    // A file replaced in place has a new identity, which its name now leads
    // to; a set's, that of its first part as it is now.
    const bool replaced = session.options.scope == Scope::in_place && any_changed(source);
    if (set && replaced)
        reading.identity = set_identity(session, task);
    if (reading.identity && (set || !replaced))
        session.done.insert(*reading.identity);
    // The set's other parts were read from their own buffers; the next file
    // reads into the part read first.
    if (set && session.buffer.capacity() == 0)
        session.buffer = std::move(source.parts[static_cast<std::size_t>(zipcode_part_number(task.place.name) - 1)]);
    std::vector<FileReport> reports = report(session, single, source, head);
    // The members' buffers serve the next archive; what was read of them is gone.
    for (ArchiveMember& member : source.archive.members)
        session.spare.push_back(std::move(member.bytes));
    for (FileReport& done : reports)
        done.bytes = {};
    return reports;
}

} // namespace mog
