#include "image/tape_walk.h"

#include <algorithm>
#include <cstring>

#include "basic/little_endian.h"
#include "basic/sys_line.h"
#include "image/container.h"
#include "image/container_kind.h"
#include "image/program_walk.h"

namespace mog {

namespace {

bool tape_extension(std::string_view extension) {
    return same_extension(extension, ".t64");
}

// Data that would begin in the header or the directory is another entry's
// bytes, not a program's.
bool holds_data(const WalkState& walk, std::size_t offset) {
    return offset >= TAPE_HEADER_SIZE + TAPE_ENTRY_SIZE * walk.end && offset <= walk.size;
}

// The entries-in-use field is often wrong: the walk goes over every entry
// reserved that lies wholly within the bytes read.
void start_tape(WalkState& walk) {
    if (!has_tape_signature(walk.bytes, walk.size))
        add_notice(walk, Notice{NoticeKind::no_tape_signature});
    walk.end = walk.size >= TAPE_DIRECTORY_SIZE + 2 ? read_le16(walk.bytes + TAPE_DIRECTORY_SIZE) : 0;
    // Some old tapes leave the directory size at 0 and still hold their first
    // entry in its slot, which other readers read.
    if (walk.end == 0 && walk.size >= TAPE_HEADER_SIZE + TAPE_ENTRY_SIZE)
        walk.end = 1;
    walk.at = 0;
    // A tape holds its files one after the other: each one's data ends where
    // the next one's begins. Data that would begin at or after the end was
    // cut off with it.
    std::size_t cut = 0;
    for (std::size_t k = 0; k < walk.end; ++k) {
        const std::size_t at = TAPE_HEADER_SIZE + TAPE_ENTRY_SIZE * k;
        if (at > walk.size || walk.size - at < TAPE_ENTRY_SIZE)
            break;
        const std::size_t offset = read_le32(walk.bytes + at + TAPE_ENTRY_OFFSET);
        if (walk.bytes[at + TAPE_ENTRY_TYPE] == 0)
            continue;
        if (holds_data(walk, offset))
            walk.data_starts.push_back(offset);
        if (offset >= walk.size && offset >= TAPE_HEADER_SIZE + TAPE_ENTRY_SIZE * walk.end)
            ++cut;
    }
    std::sort(walk.data_starts.begin(), walk.data_starts.end());
    if (cut > 0)
        add_notice(walk, Notice{NoticeKind::tape_cut, 0, 0, 0, 0, 0, cut});
}

// The next entry, free slots included, or null at the end.
unsigned char* next_tape_entry(WalkState& walk) {
    if (walk.at >= walk.end)
        return nullptr;
    std::size_t at = TAPE_HEADER_SIZE + TAPE_ENTRY_SIZE * walk.at++;
    if (at > walk.size || walk.size - at < TAPE_ENTRY_SIZE)
        return nullptr; // later entries lie further out
    return walk.bytes + at;
}

// A tape keeps the load address in the entry and the program, without its
// load address, at the entry's offset; the line may run to the end of the
// file. Data that would begin in the header or the directory is another
// entry's bytes, not a program: such an entry has no start line.
bool next_tape_program(WalkState& walk, Program& program) {
    unsigned char* entry = next_entry_in_use(walk, next_tape_entry, TAPE_ENTRY_TYPE);
    if (entry == nullptr)
        return false;
    program = Program{};
    // Names are padded with blanks, in some tapes with shifted blanks.
    set_name(program, entry + TAPE_ENTRY_NAME, TAPE_ENTRY_NAME_SIZE, ' ', 0xA0);
    program.has_load_address = true;
    program.load_address = read_le16(entry + TAPE_ENTRY_START);
    std::size_t offset = read_le32(entry + TAPE_ENTRY_OFFSET);
    if (holds_data(walk, offset)) {
        program.line = std::span<unsigned char>(walk.bytes + offset, walk.size - offset);
        program.origin = offset;
    }
    return true;
}

// The file a tape entry stands for starts with the load address the entry
// holds; its data follows from the entry's offset on, up to where the next
// entry's data begins.
std::size_t read_tape_file(const WalkState& walk, const Program& program, std::size_t offset,
                           std::span<unsigned char> into) {
    if (program.line.data() == nullptr || program.origin > walk.size)
        return 0;
    unsigned char address[LOAD_ADDRESS_SIZE];
    write_le16(address, program.load_address);
    std::size_t copied = 0;
    for (; offset < LOAD_ADDRESS_SIZE && copied < into.size(); ++offset)
        into[copied++] = address[offset];
    const auto next = std::upper_bound(walk.data_starts.begin(), walk.data_starts.end(), program.origin);
    const std::size_t end = next != walk.data_starts.end() ? *next : walk.size;
    const std::size_t data_size = end - program.origin;
    offset -= LOAD_ADDRESS_SIZE;
    if (offset >= data_size)
        return copied;
    into = into.subspan(copied, std::min(into.size() - copied, data_size - offset));
    return copied + copy_from(walk, program.origin, offset, into);
}

} // namespace

bool has_tape_signature(const unsigned char* bytes, std::size_t size) {
    return size >= TAPE_HEADER_SIZE && std::memcmp(bytes, "C64", 3) == 0;
}

const ContainerKind TAPE_CONTAINER = {
    "t64", tape_extension, {}, ".t64", "a T64 tape archive", true, start_tape, next_tape_program, read_tape_file,
};

} // namespace mog
