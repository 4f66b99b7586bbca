#include "image/lynx_walk.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "basic/little_endian.h"
#include "image/container.h"
#include "image/container_kind.h"
#include "image/program_walk.h"

namespace mog {

namespace {

constexpr unsigned char CARRIAGE_RETURN = 0x0D;
constexpr unsigned char BLANK = 0x20;
constexpr unsigned char NAME_PADDING = 0xA0;
constexpr unsigned char SIGNATURE[] = {'L', 'Y', 'N', 'X'};
// A last-block count is the bytes the last block holds plus one.
constexpr std::uint64_t FULL_LAST_BLOCK = LYNX_BLOCK_SIZE + 1;
// No archive has sizes this large; numbers stop growing there, so that no
// sum of them overflows.
constexpr std::uint64_t NUMBER_LIMIT = 1000000;

struct LetterType {
    unsigned char letter;
    unsigned char file_type;
};
constexpr LetterType FILE_TYPES[] = {{'S', 0x81}, {'P', 0x82}, {'U', 0x83}, {'R', 0x84}};
constexpr unsigned char REL_FILE_TYPE = 0x84; // its record length comes before its last-block count

bool lynx_extension(std::string_view extension) {
    return same_extension(extension, ".lnx");
}

// Where the archive's own BASIC program ends: each line's link leads to the
// next one, further on, up to a link of zero after the last line.
std::optional<std::size_t> stub_end(const unsigned char* bytes, std::size_t size) {
    if (size < 2 || read_le16(bytes) != LYNX_LOAD_ADDRESS)
        return std::nullopt;
    std::size_t at = 2;
    while (at <= size && size - at >= 2) {
        const unsigned link = read_le16(bytes + at);
        if (link == 0)
            return at + 2;
        const std::size_t next = link >= LYNX_LOAD_ADDRESS ? link - LYNX_LOAD_ADDRESS + 2 : 0;
        if (next <= at)
            return std::nullopt;
        at = next;
    }
    return std::nullopt;
}

// The directory's text, read field by field: each field ends with a
// carriage return before the text's end.
struct Text {
    const unsigned char* bytes;
    std::size_t end;
    std::size_t at;
};

std::optional<std::span<const unsigned char>> next_field(Text& text) {
    if (text.at >= text.end)
        return std::nullopt;
    const unsigned char* from = text.bytes + text.at;
    const unsigned char* end = std::find(from, text.bytes + text.end, CARRIAGE_RETURN);
    if (end == text.bytes + text.end)
        return std::nullopt;
    text.at = static_cast<std::size_t>(end - text.bytes) + 1;
    return std::span(from, end);
}

std::span<const unsigned char> without_blanks(std::span<const unsigned char> field) {
    while (!field.empty() && field.front() == BLANK)
        field = field.subspan(1);
    while (!field.empty() && field.back() == BLANK)
        field = field.first(field.size() - 1);
    return field;
}

struct Number {
    std::uint64_t value;
    std::span<const unsigned char> rest; // what follows the digits
};

// Digits after blanks or none.
std::optional<Number> leading_number(std::span<const unsigned char> field) {
    std::size_t at = 0;
    while (at < field.size() && field[at] == BLANK)
        ++at;
    const std::size_t first_digit = at;
    std::uint64_t value = 0;
    for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at)
        value = std::min(value * 10 + (field[at] - '0'), NUMBER_LIMIT);
    if (at == first_digit)
        return std::nullopt;
    return Number{value, field.subspan(at)};
}

// A field that holds a number alone, blanks around it or none.
std::optional<std::uint64_t> number_field(Text& text) {
    const auto field = next_field(text);
    if (!field)
        return std::nullopt;
    const auto number = leading_number(*field);
    if (!number || !without_blanks(number->rest).empty())
        return std::nullopt;
    return number->value;
}

std::optional<unsigned char> type_field(Text& text) {
    const auto field = next_field(text);
    if (!field)
        return std::nullopt;
    const std::span<const unsigned char> letter = without_blanks(*field);
    for (const LetterType& type : FILE_TYPES)
        if (letter.size() == 1 && letter[0] == type.letter)
            return type.file_type;
    return std::nullopt;
}

// The directory's size in blocks and where the text goes on, when the
// bytes are a Lynx archive: its own BASIC program at $0801, a carriage
// return, then the size and a signature text that holds "LYNX" on one line.
struct Header {
    std::uint64_t blocks;
    std::size_t after;
};

std::optional<Header> read_header(const unsigned char* bytes, std::size_t size) {
    const std::optional<std::size_t> stub = stub_end(bytes, size);
    if (!stub || *stub >= size || bytes[*stub] != CARRIAGE_RETURN)
        return std::nullopt;
    Text text{bytes, size, *stub + 1};
    const auto line = next_field(text);
    const auto number = line ? leading_number(*line) : std::nullopt;
    if (!number || std::search(number->rest.begin(), number->rest.end(), std::begin(SIGNATURE), std::end(SIGNATURE)) ==
                       number->rest.end())
        return std::nullopt;
    return Header{number->value, text.at};
}

struct Entry {
    std::size_t name;
    unsigned char file_type;
    std::uint64_t blocks;
    std::uint64_t last; // the bytes the last block holds, plus one
};

// Name, block count, type letter, [record length,] last-block count.
std::optional<Entry> next_entry(Text& text) {
    if (text.at > text.end || text.end - text.at <= LYNX_NAME_SIZE ||
        text.bytes[text.at + LYNX_NAME_SIZE] != CARRIAGE_RETURN)
        return std::nullopt;
    Entry entry{text.at, 0, 0, 0};
    text.at += LYNX_NAME_SIZE + 1;
    const auto blocks = number_field(text);
    const auto type = blocks ? type_field(text) : std::nullopt;
    if (!type || (*type == REL_FILE_TYPE && !number_field(text)))
        return std::nullopt;
    const auto last = number_field(text);
    if (!last)
        return std::nullopt;
    entry.file_type = *type;
    entry.blocks = *blocks;
    entry.last = *last;
    return entry;
}

// The bytes of an entry's data: its blocks, the last one holding its count
// less one. An empty file has no blocks and a count of 0 or 1. A count that
// does not go with the blocks leaves the whole last block to the file, as
// far as the layout tells.
std::uint64_t data_size(WalkState& walk, const Entry& entry, std::size_t number) {
    const bool fits = entry.blocks == 0 ? entry.last <= 1 : entry.last >= 1 && entry.last <= FULL_LAST_BLOCK;
    if (!fits)
        add_notice(walk, Notice{NoticeKind::lynx_sizes_disagree, 0, 0, 0, 0, number});
    if (entry.blocks == 0)
        return 0;
    const std::uint64_t last = fits ? entry.last - 1 : LYNX_BLOCK_SIZE;
    return (entry.blocks - 1) * LYNX_BLOCK_SIZE + last;
}

// The whole directory is read at once: the files follow one another in its
// order from the end of its blocks on, so each one's place depends on all
// before it. What cannot be read ends the directory there.
void start_lynx(WalkState& walk) {
    const std::optional<Header> header = read_header(walk.bytes, walk.size);
    if (!header) {
        add_notice(walk, Notice{NoticeKind::not_lynx});
        walk.ended = true;
        return;
    }
    const std::uint64_t size = walk.size;
    std::uint64_t start = header->blocks * LYNX_BLOCK_SIZE;
    Text text{walk.bytes, static_cast<std::size_t>(std::min(start, size)), header->after};
    const std::optional<std::uint64_t> count = number_field(text);
    if (!count) {
        add_notice(walk, Notice{NoticeKind::lynx_unreadable, 0, 0, 0, 0, 1});
        return;
    }
    bool cut = false;
    for (std::size_t number = 1; number <= *count; ++number) {
        const std::optional<Entry> entry = next_entry(text);
        if (!entry) {
            add_notice(walk, Notice{NoticeKind::lynx_unreadable, 0, 0, 0, 0, number});
            return;
        }
        const std::uint64_t data = data_size(walk, *entry, number);
        const std::uint64_t end = start + data;
        if (data > 0 && end > size && !cut) {
            add_notice(walk, Notice{NoticeKind::lynx_cut, 0, 0, 0, 0, number});
            cut = true;
        }
        walk.files.push_back(StoredFile{entry->name, entry->file_type, static_cast<std::size_t>(std::min(start, size)),
                                        static_cast<std::size_t>(std::min(end, size))});
        // Beyond the end every later file lies beyond it too.
        start = std::min(start + entry->blocks * LYNX_BLOCK_SIZE, size + 1);
    }
}

bool next_lynx_program(WalkState& walk, Program& program) {
    if (walk.given >= walk.files.size())
        return false;
    const StoredFile& file = walk.files[walk.given];
    program = program_after_load_address(walk.bytes + file.start, file.end - file.start);
    program.origin = file.start;
    set_name(program, walk.bytes + file.name, LYNX_NAME_SIZE, NAME_PADDING, NAME_PADDING);
    program.file_type = file.file_type;
    return true;
}

// A file holds its load address first, as a PRG does; it ends where the
// directory says, never in the next file.
std::size_t read_lynx_file(const WalkState& walk, const Program& program, std::size_t offset,
                           std::span<unsigned char> into) {
    if (program.index >= walk.files.size())
        return 0;
    const StoredFile& file = walk.files[program.index];
    const std::size_t data_size = file.end - file.start;
    if (file.start != program.origin || offset >= data_size)
        return 0;
    return copy_from(walk, file.start, offset, into.first(std::min(into.size(), data_size - offset)));
}

} // namespace

const ContainerKind LYNX_CONTAINER = {
    "lnx", lynx_extension, {}, ".lnx", "a Lynx archive", true, start_lynx, next_lynx_program, read_lynx_file,
};

} // namespace mog
