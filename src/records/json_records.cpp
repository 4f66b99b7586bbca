// The view of a program, and the JSON Lines records: one object per
// program, one per file.
#include "mog/records.h"

#include <algorithm>
#include <array>

#include "mog/describe.h"
#include "mog/machines.h"
#include "mog/petscii.h"

namespace mog {

namespace {

// Writes the bytes in hex as a JSON string, which its digits need no escapes
// in, where there is room for 2 + 2 * bytes.size() characters.
std::string_view put_hex_json(char* quoted, std::string_view bytes) {
    static const char DIGITS[] = "0123456789abcdef";
    char* at = quoted;
    *at++ = '"';
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *at++ = DIGITS[byte >> 4];
        *at++ = DIGITS[byte & 0x0F];
    }
    *at++ = '"';
    return std::string_view(quoted, static_cast<std::size_t>(at - quoted));
}

std::string hex_json(std::string_view bytes) {
    std::string text(2 + 2 * bytes.size(), '"');
    put_hex_json(text.data(), bytes);
    return text;
}

std::optional<unsigned long long> maybe(const std::optional<unsigned>& value) {
    return value ? std::optional<unsigned long long>(*value) : std::nullopt;
}

std::span<const unsigned char> line_text_bytes(const ProgramRecord& program, std::span<const unsigned char> bytes) {
    if (!program.start_line || program.text_offset > bytes.size())
        return {};
    return bytes.subspan(program.text_offset).first(std::min(program.text_size, bytes.size() - program.text_offset));
}

std::string_view as_view(std::span<const unsigned char> bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string as_text(std::span<const unsigned char> bytes) {
    return std::string(as_view(bytes));
}

} // namespace

std::string_view file_type_name(unsigned char type) {
    static constexpr std::string_view NAMES[] = {"del", "seq", "prg", "usr", "rel", "cbm", "del", "del"};
    return NAMES[type & 0x07];
}

std::string program_name_text(const ProgramRecord& program) {
    return petscii_to_utf8(program.unpadded_name());
}

std::string program_line_text(const ProgramRecord& program, std::span<const unsigned char> bytes) {
    return petscii_to_utf8(line_text_bytes(program, bytes));
}

ProgramView program_view(const ProgramRecord& program, std::span<const unsigned char> bytes, bool written) {
    ProgramView view;
    view.index = program.index;
    if (program.named) {
        view.name = program_name_text(program);
        view.name_petscii = as_text(program.name_field());
    }
    view.type = file_type_name(program.file_type);
    if (program.has_load_address) {
        view.load_address = program.load_address;
        view.machines = machines_starting_at(program.load_address);
    }
    view.start_line = program.start_line;
    if (program.start_line) {
        view.line = program.line;
        const std::span<const unsigned char> text = line_text_bytes(program, bytes);
        view.text = petscii_to_utf8(text);
        view.text_petscii = as_text(text);
    }
    if (written && program.changed())
        view.new_line = program.new_line;
    if (program.archive == Archive::sda)
        view.archive = "sda";
    view.shares_with = program.shares_with;
    view.settable = program.settable();
    if (!view.settable)
        view.not_settable = describe_not_settable(program);
    return view;
}

std::string program_record(const RecordName& name, const ProgramView& view) {
    JsonObject record;
    record.string("record", "program").string("file", name.file);
    if (name.member)
        record.string("member", *name.member);
    record.number("index", static_cast<long long>(view.index)).maybe_string("name", view.name);
    if (view.name_petscii)
        record.raw("name_petscii", hex_json(*view.name_petscii));
    else
        record.null("name_petscii");
    record.string("type", view.type)
        .maybe_number("load_address", maybe(view.load_address))
        .boolean("start_line", view.start_line)
        .maybe_number("line", maybe(view.line))
        .maybe_string("text", view.text)
        .maybe_number("new_line", maybe(view.new_line))
        .string_array("machines", view.machines)
        .maybe_string("archive", view.archive ? std::optional<std::string>(*view.archive) : std::nullopt);
    if (view.shares_with)
        record.number("shares_with", static_cast<long long>(*view.shares_with));
    return std::move(record).done();
}

std::string program_record(const RecordName& name, const ProgramRecord& program, std::span<const unsigned char> bytes,
                           bool written) {
    return program_record(name, program_view(program, bytes, written));
}

std::string file_record(const FileFacts& facts, const PassResult& result) {
    JsonObject record;
    record.string("record", "file").string("file", facts.file);
    if (facts.member)
        record.string("member", *facts.member);
    record
        .maybe_string("kind", facts.container ? std::optional<std::string>(container_name(*facts.container))
                                              : std::nullopt)
        .number("size", static_cast<long long>(facts.size))
        .number("programs", static_cast<long long>(result.programs.size()))
        .number("changed", static_cast<long long>(facts.written ? result.changed() : 0))
        .maybe_string("written", facts.written)
        .raw("warnings", json_string_array(facts.warnings))
        .maybe_string("error", facts.error)
        .maybe_string("crc32", facts.crc32)
        .maybe_string("sha1", facts.sha1)
        .maybe_string("new_crc32", facts.new_crc32)
        .maybe_string("new_sha1", facts.new_sha1)
        .number("status", facts.status);
    return record.done();
}

} // namespace mog
