// The pass over a container's programs.
#include "mog/pass.h"

#include <algorithm>

#include "basic/sys_line.h"

namespace mog {

namespace {

// The record of a program before any decision.
ProgramRecord describe(const Program& program, const unsigned char* bytes, const SysLine& line,
                       const std::vector<unsigned>& basic_starts) {
    ProgramRecord record;
    record.index = program.index;
    record.named = program.name != nullptr;
    record.name_size = std::min(program.name_size, MAX_NAME_SIZE);
    record.name_length = std::min(program.name_length, record.name_size);
    if (record.named)
        std::copy(program.name, program.name + record.name_size, record.name.begin());
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

// A container of one program must hold its start line.
PassFailure one_program_failure(const PassResult& result) {
    for (const Notice& notice : result.notices)
        if (notice.kind == NoticeKind::not_p00)
            return PassFailure::not_p00;
    if (result.programs.empty())
        return PassFailure::unusable_bytes;
    // The token is tested first: a program failing both reports the missing SYS.
    const ProgramRecord& program = result.programs.front();
    if (!program.sys_token)
        return PassFailure::no_sys_token;
    return program.start_line ? PassFailure::none : PassFailure::unexpected_load_address;
}

} // namespace

std::size_t PassResult::changed() const {
    return static_cast<std::size_t>(
        std::count_if(programs.begin(), programs.end(), [](const ProgramRecord& p) { return p.changed(); }));
}

PassResult run_pass(ProgramWalk& walk, const PassRequest& request) {
    PassResult result;
    Program program;
    while (next_program(walk, program)) {
        SysLine line{program.load_address, program.line, program.line_size};
        ProgramRecord record = describe(program, walk.bytes, line, request.basic_starts);
        if (record.start_line) {
            Decision decision = request.ask ? request.ask(record) : request.each;
            if (decision.action == Action::set) {
                set_sys_line_number(line, decision.line_number);
                record.written = true;
                record.new_line = decision.line_number & MAX_LINE_NUMBER;
            }
        }
        result.programs.push_back(record);
    }
    result.notices = walk.notices;
    if (walk.container.kind == nullptr || (walk.bytes == nullptr && walk.size > 0))
        result.failure = PassFailure::unusable_bytes;
    else if (!has_directory(walk.container))
        result.failure = one_program_failure(result);
    return result;
}

PassResult run_pass(const Container& container, unsigned char* bytes, std::size_t size, const PassRequest& request) {
    ProgramWalk walk = start_program_walk(container, bytes, size);
    return run_pass(walk, request);
}

} // namespace mog
