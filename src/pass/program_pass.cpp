// The pass over a container's programs.
#include "mog/pass.h"

#include <algorithm>
#include <array>
#include <utility>

#include "basic/archive.h"
#include "basic/sys_line.h"

namespace mog {

namespace {

// The record of a program before any decision.
ProgramRecord describe_program(const Program& program, const unsigned char* bytes, const SysLine& line,
                               const std::vector<unsigned>& basic_starts) {
    ProgramRecord record;
    record.index = program.index;
    record.named = program.named;
    record.name_size = std::min(program.name.size(), MAX_NAME_SIZE);
    record.name_length = std::min(program.name_length, record.name_size);
    if (record.named)
        std::copy(program.name.begin(), program.name.begin() + static_cast<std::ptrdiff_t>(record.name_size),
                  record.name.begin());
    record.file_type = program.file_type;
    record.has_load_address = program.has_load_address;
    record.load_address = program.load_address;
    record.sys_token = has_sys_token(line);
    record.start_line = program.has_load_address && match_sys_line(line, basic_starts);
    if (record.start_line) {
        record.line = sys_line_number(line);
        record.text_offset = static_cast<std::size_t>(sys_line_text(line) - bytes);
        record.text_size = sys_line_text_length(line);
    }
    return record;
}

// A start line whose number tells where an archive starts, behind it in the
// same file, is a self-dissolving archive's stub: its number is data.
Archive archive_of(const ProgramWalk& walk, const Program& program, const ProgramRecord& record) {
    const std::span<const unsigned char> text(walk.bytes().data() + record.text_offset, record.text_size);
    const std::optional<std::size_t> offset = sda_archive_offset(record.line, text);
    if (!offset)
        return Archive::none;
    std::array<unsigned char, MAX_ARCHIVE_HEADER_SIZE> header{};
    const std::size_t read = read_program_file(walk, program, *offset, header);
    return is_archive_entry_header(std::span(header.data(), read)) ? Archive::sda : Archive::none;
}

// A file that is not of the kind its name tells holds no program.
PassFailure other_kind_failure(const PassResult& result) {
    for (const Notice& notice : result.notices) {
        if (notice.kind == NoticeKind::not_p00)
            return PassFailure::not_p00;
        if (notice.kind == NoticeKind::not_lynx)
            return PassFailure::not_lynx;
    }
    return PassFailure::none;
}

// A container of one program must hold its start line.
PassFailure one_program_failure(const PassResult& result) {
    if (result.programs.empty())
        return PassFailure::unusable_bytes;
    // The token is tested first: a program failing both reports the missing SYS.
    const ProgramRecord& program = result.programs.front();
    if (!program.sys_token)
        return PassFailure::no_sys_token;
    return program.start_line ? PassFailure::none : PassFailure::unexpected_load_address;
}

// The line numbers as they were before the pass wrote them, to put back
// when the pass cannot finish.
class Undo {
  public:
    void note(SysLine line) {
        const unsigned char* number = line.bytes + SYS_LINE_NUMBER;
        saved_.push_back({line, {number[0], number[1]}});
    }
    void put_back() {
        for (auto entry = saved_.rbegin(); entry != saved_.rend(); ++entry)
            std::copy(entry->second.begin(), entry->second.end(), entry->first.bytes + SYS_LINE_NUMBER);
        saved_.clear();
    }

  private:
    std::vector<std::pair<SysLine, std::array<unsigned char, 2>>> saved_;
};

void forget_writes(PassResult& result) {
    for (ProgramRecord& program : result.programs) {
        program.written = false;
        program.new_line = 0;
    }
}

// The start lines found so far, each with the entry that first led to it.
struct FirstEntry {
    SysLine line;
    std::size_t index;
};

std::optional<std::size_t> first_entry_of(const std::vector<FirstEntry>& firsts, const SysLine& line) {
    for (const FirstEntry& first : firsts)
        if (first.line.bytes == line.bytes)
            return first.index;
    return std::nullopt;
}

// Entries that share a start line tell alike what the pass left in it: the
// last decision for it is what its bytes hold.
void settle_shared_lines(PassResult& result, const std::vector<FirstEntry>& firsts) {
    // An entry alone with its start line has what the pass left there already.
    if (std::none_of(result.programs.begin(), result.programs.end(),
                     [](const ProgramRecord& record) { return record.shares_with.has_value(); }))
        return;
    for (const FirstEntry& first : firsts) {
        bool written = false;
        for (const ProgramRecord& record : result.programs)
            written = written || ((record.index == first.index || record.shares_with == first.index) && record.written);
        if (!written)
            continue;
        const unsigned now = sys_line_number(first.line);
        for (ProgramRecord& record : result.programs)
            if (record.index == first.index || record.shares_with == first.index) {
                record.written = true;
                record.new_line = now;
            }
    }
}

} // namespace

std::size_t PassResult::changed() const {
    return static_cast<std::size_t>(std::count_if(programs.begin(), programs.end(), [](const ProgramRecord& p) {
        return p.changed() && !p.shares_with;
    }));
}

bool PassResult::any_start_line() const {
    return std::any_of(programs.begin(), programs.end(), [](const ProgramRecord& p) { return p.start_line; });
}

PassResult run_pass(ProgramWalk& walk, const PassRequest& request) {
    PassResult result;
    const Container container = walk.container();
    const std::span<unsigned char> bytes = walk.bytes();
    if (container.kind == nullptr || (bytes.data() == nullptr && !bytes.empty())) {
        result.failure = PassFailure::unusable_bytes;
        return result;
    }
    if (!request.ask && request.each.action == Action::set && request.each.line_number > MAX_LINE_NUMBER) {
        result.failure = PassFailure::line_number_too_high;
        return result;
    }
    // Room for a full 1541 directory at once, rather than growing entry by entry.
    constexpr std::size_t USUAL_MOST_ENTRIES = 144;
    result.programs.reserve(USUAL_MOST_ENTRIES);
    Undo undo;
    std::vector<FirstEntry> firsts;
    firsts.reserve(USUAL_MOST_ENTRIES);
    try {
        while (std::optional<Program> program = next_program(walk)) {
            SysLine line{program->load_address, program->line.data(), program->line.size()};
            ProgramRecord record = describe_program(*program, bytes.data(), line, request.basic_starts);
            if (record.start_line) {
                record.archive = archive_of(walk, *program, record);
                record.shares_with = first_entry_of(firsts, line);
                if (!record.shares_with)
                    firsts.push_back({line, record.index});
            }
            if (record.settable()) {
                const Decision decision = request.ask ? request.ask(record) : request.each;
                if (decision.action == Action::set && decision.line_number > MAX_LINE_NUMBER) {
                    undo.put_back();
                    forget_writes(result);
                    result.failure = PassFailure::line_number_too_high;
                    result.notices = walk.notices();
                    return result;
                }
                if (decision.action == Action::set) {
                    undo.note(line);
                    set_sys_line_number(line, decision.line_number);
                    record.written = true;
                    record.new_line = decision.line_number;
                }
            }
            // The number before the pass, whatever an earlier entry wrote.
            if (record.shares_with)
                record.line = result.programs[*record.shares_with].line;
            result.programs.push_back(record);
        }
    } catch (...) {
        undo.put_back();
        throw;
    }
    result.notices = walk.notices();
    settle_shared_lines(result, firsts);
    result.failure = other_kind_failure(result);
    if (result.failure == PassFailure::none && !has_directory(container))
        result.failure = one_program_failure(result);
    return result;
}

PassResult run_pass(const Container& container, std::span<unsigned char> bytes, const PassRequest& request) {
    ProgramWalk walk = start_program_walk(container, bytes);
    return run_pass(walk, request);
}

} // namespace mog
