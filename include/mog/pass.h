// One pass over a container's programs: each start line is looked at, kept,
// or given a new line number, and the result tells what was found and done.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "mog/walk.h"

namespace mog {

// The most a line number can be: what its two bytes hold.
constexpr unsigned MAX_LINE_NUMBER = 0xFFFF;

enum class Action {
    look, // change nothing
    keep, // leave this program's line number as it is
    set,  // write the decision's line number
};

struct Decision {
    Action action = Action::look;
    unsigned line_number = 0; // for Action::set, 0 to MAX_LINE_NUMBER
};

// What a start line's number is besides a label.
enum class Archive {
    none,
    sda, // the stub of a self-dissolving archive: the number tells where the archive starts
};

// The most bytes a container's name has.
constexpr std::size_t MAX_NAME_SIZE = 16;

// What the pass found in one program and did with it.
struct ProgramRecord {
    std::size_t index = 0;
    bool named = false; // the container stores a name for the program
    std::array<unsigned char, MAX_NAME_SIZE> name{};
    std::size_t name_size = 0;   // the bytes of the name's field
    std::size_t name_length = 0; // the name without its padding
    unsigned char file_type = PRG_FILE_TYPE;
    bool has_load_address = false;
    unsigned load_address = 0;
    bool sys_token = false;          // the first line's first token is SYS
    bool start_line = false;         // SYS, at a load address where BASIC starts
    Archive archive = Archive::none; // a start line whose number is data is never written
    unsigned line = 0;               // with a start line: its number when the pass reached it
    bool written = false;            // a line number was written into the start line
    unsigned new_line = 0;           // the number written
    // With a start line: the rest of the line after SYS, as offsets into the
    // container's bytes; it ends at a zero byte or where the line's bytes end.
    std::size_t text_offset = 0;
    std::size_t text_size = 0;
    // Directory entries may lead to one program: each later entry whose start
    // line is an earlier one's names that entry. Its line is the number
    // before the pass, and written and new_line tell what the pass left
    // there in the end.
    std::optional<std::size_t> shares_with;

    // True when this pass gave the line another number.
    bool changed() const { return written && new_line != line; }
    // True for a start line whose number a pass may set.
    bool settable() const { return start_line && archive == Archive::none; }
    // The name's field, and the name without its padding: never more than
    // the MAX_NAME_SIZE bytes held, whatever a record built elsewhere says.
    std::span<const unsigned char> name_field() const { return {name.data(), std::min(name_size, name.size())}; }
    std::span<const unsigned char> unpadded_name() const { return {name.data(), std::min(name_length, name.size())}; }
};

// True for a start line whose number a pass may set and that does not carry
// the number: what a check names.
inline bool lacks_number(const ProgramRecord& program, unsigned line_number) {
    return program.settable() && program.line != line_number;
}

// Why a pass could not do its work.
enum class PassFailure {
    none,
    unusable_bytes,          // no container kind, or no bytes to walk
    not_p00,                 // a P00 file without its header
    not_lynx,                // a file named as a Lynx archive without its signature
    no_sys_token,            // a one-program file whose first line does not start with SYS
    unexpected_load_address, // SYS, but not at a load address where BASIC starts
    line_number_too_high,    // a decision to set a number above MAX_LINE_NUMBER; nothing was written
};

struct PassResult {
    std::vector<ProgramRecord> programs; // in walk order
    std::vector<Notice> notices;         // in the order found
    PassFailure failure = PassFailure::none;

    // Start lines whose number this pass changed, each counted once however
    // many entries lead to it.
    std::size_t changed() const;
    // True when a start line, settable or not, was found.
    bool any_start_line() const;
};

struct PassRequest {
    // The decision for every settable start line, unless ask is given.
    Decision each;
    // Asked for each settable start line in walk order; its answer is the
    // decision. The record shows the program as it stands before the
    // decision: a start line that an earlier entry shares shows the number
    // that entry's decision left. When it throws, the bytes are left as they
    // were.
    std::function<Decision(const ProgramRecord&)> ask;
    // Load addresses at which a SYS line counts as a start line: where
    // BASIC programs start on the machines chosen, the C64's $0801 unless
    // told otherwise.
    std::vector<unsigned> basic_starts{0x0801};
};

// Runs the rest of a started walk. Never prints, reads input or ends the
// process; changes nothing but the two line-number bytes of start lines,
// and none of them when a decision is out of range.
PassResult run_pass(ProgramWalk& walk, const PassRequest& request);

// Starts the walk and runs the whole pass.
PassResult run_pass(const Container& container, std::span<unsigned char> bytes, const PassRequest& request);

} // namespace mog
