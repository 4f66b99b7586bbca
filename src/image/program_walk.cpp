#include "image/program_walk.h"

#include <algorithm>
#include <cstring>

#include "basic/little_endian.h"
#include "basic/sys_line.h"
#include "image/container_kind.h"

namespace mog {

Program program_after_load_address(unsigned char* bytes, std::size_t available) {
    Program program;
    if (available < LOAD_ADDRESS_SIZE) {
        program.line = std::span<unsigned char>(bytes + available, std::size_t{0});
        return program;
    }
    program.has_load_address = true;
    program.load_address = read_le16(bytes);
    program.line = std::span<unsigned char>(bytes + LOAD_ADDRESS_SIZE, available - LOAD_ADDRESS_SIZE);
    return program;
}

unsigned char* next_entry_in_use(WalkState& walk, unsigned char* (*next_slot)(WalkState&), std::size_t type_byte) {
    unsigned char* entry = next_slot(walk);
    while (entry != nullptr && entry[type_byte] == 0)
        entry = next_slot(walk);
    return entry;
}

void set_name(Program& program, const unsigned char* name, std::size_t size, unsigned char padding,
              unsigned char other_padding) {
    program.named = true;
    program.name = std::span<const unsigned char>(name, size);
    std::size_t length = size;
    while (length > 0 && (name[length - 1] == padding || name[length - 1] == other_padding))
        --length;
    program.name_length = length;
}

void add_notice(WalkState& walk, const Notice& notice) {
    walk.notices.push_back(notice);
}

std::size_t copy_from(const WalkState& walk, std::size_t start, std::size_t offset, std::span<unsigned char> into) {
    if (start > walk.size || offset > walk.size - start)
        return 0;
    const std::size_t count = std::min(into.size(), walk.size - start - offset);
    if (count > 0)
        std::memcpy(into.data(), walk.bytes + start + offset, count);
    return count;
}

ProgramWalk::ProgramWalk() = default;
ProgramWalk::~ProgramWalk() = default;
ProgramWalk::ProgramWalk(ProgramWalk&&) noexcept = default;
ProgramWalk& ProgramWalk::operator=(ProgramWalk&&) noexcept = default;

const std::vector<Notice>& ProgramWalk::notices() const {
    static const std::vector<Notice> none;
    return state_ ? state_->notices : none;
}

std::span<unsigned char> ProgramWalk::bytes() const {
    return state_ ? std::span<unsigned char>(state_->bytes, state_->size) : std::span<unsigned char>();
}

Container ProgramWalk::container() const {
    return state_ ? state_->container : Container{};
}

ProgramWalk start_program_walk(const Container& container, std::span<unsigned char> bytes) {
    ProgramWalk walk;
    walk.state_ = std::make_unique<WalkState>();
    WalkState& state = *walk.state_;
    state.container = container;
    state.bytes = bytes.data();
    state.size = bytes.size();
    // Without bytes there is nothing to walk: a null buffer yields nothing.
    state.ended = container.kind == nullptr || (bytes.data() == nullptr && !bytes.empty());
    if (!state.ended)
        container.kind->start(state);
    return walk;
}

std::optional<Program> next_program(ProgramWalk& walk) {
    if (!walk.state_ || walk.state_->ended)
        return std::nullopt;
    WalkState& state = *walk.state_;
    Program program;
    if (!state.container.kind->next(state, program)) {
        state.ended = true;
        return std::nullopt;
    }
    program.index = state.given++;
    return program;
}

std::size_t read_program_file(const ProgramWalk& walk, const Program& program, std::size_t offset,
                              std::span<unsigned char> into) {
    if (!walk.state_ || walk.state_->container.kind == nullptr || walk.state_->bytes == nullptr)
        return 0;
    return walk.state_->container.kind->read_file(*walk.state_, program, offset, into);
}

} // namespace mog
