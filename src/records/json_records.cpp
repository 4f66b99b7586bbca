// The JSON Lines records: one object per program, one per file.
#include "mog/records.h"

#include "mog/describe.h"
#include "mog/machines.h"
#include "mog/petscii.h"
#include "text/utf8.h"

namespace mog {

namespace {

void append_hex(std::string& text, std::span<const unsigned char> bytes) {
    static const char DIGITS[] = "0123456789abcdef";
    for (unsigned char byte : bytes) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 0x0F];
    }
}

void append_number(std::string& text, unsigned long long value) {
    char digits[24];
    std::size_t at = sizeof digits;
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    text.append(digits + at, sizeof digits - at);
}

// A member: the key is plain ASCII, the value already JSON.
void member(std::string& record, const char* key) {
    record += record.size() > 1 ? ",\"" : "\"";
    record += key;
    record += "\":";
}

void number_member(std::string& record, const char* key, bool present, unsigned long long value) {
    member(record, key);
    if (present)
        append_number(record, value);
    else
        record += "null";
}

void string_member(std::string& record, const char* key, bool present, std::string_view value) {
    member(record, key);
    if (present)
        record += json_string(value);
    else
        record += "null";
}

template <class Items> void string_array_member(std::string& record, const char* key, const Items& items) {
    member(record, key);
    record += '[';
    bool first = true;
    for (const auto& item : items) {
        if (!first)
            record += ',';
        record += json_string(item);
        first = false;
    }
    record += ']';
}

} // namespace

std::string json_string(std::string_view text) {
    std::string quoted = "\"";
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
        char32_t code_point = 0;
        std::size_t length = utf8_sequence(at, left, code_point);
        if (length == 0) {
            quoted += REPLACEMENT_CHARACTER;
            length = 1;
        } else if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0)) {
            static const char DIGITS[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += DIGITS[code_point >> 4];
            quoted += DIGITS[code_point & 0x0F];
        } else if (code_point == '"' || code_point == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(code_point);
        } else {
            quoted.append(reinterpret_cast<const char*>(at), length);
        }
        at += length;
        left -= length;
    }
    return quoted + "\"";
}

std::string_view file_type_name(unsigned char type) {
    static constexpr std::string_view NAMES[] = {"del", "seq", "prg", "usr", "rel", "cbm", "del", "del"};
    return NAMES[type & 0x07];
}

std::string program_name_text(const ProgramRecord& program) {
    return petscii_to_utf8(program.unpadded_name());
}

std::string program_line_text(const ProgramRecord& program, std::span<const unsigned char> bytes) {
    if (!program.start_line || program.text_offset > bytes.size())
        return "";
    return petscii_to_utf8(
        bytes.subspan(program.text_offset).first(std::min(program.text_size, bytes.size() - program.text_offset)));
}

std::string program_record(std::string_view file, const ProgramRecord& program, std::span<const unsigned char> bytes,
                           bool written) {
    std::string record = "{";
    string_member(record, "record", true, "program");
    string_member(record, "file", true, file);
    number_member(record, "index", true, program.index);
    string_member(record, "name", program.named, program_name_text(program));
    member(record, "name_petscii");
    if (program.named) {
        record += '"';
        append_hex(record, program.name_field());
        record += '"';
    } else {
        record += "null";
    }
    string_member(record, "type", true, file_type_name(program.file_type));
    number_member(record, "load_address", program.has_load_address, program.load_address);
    member(record, "start_line");
    record += program.start_line ? "true" : "false";
    number_member(record, "line", program.start_line, program.line);
    string_member(record, "text", program.start_line, program_line_text(program, bytes));
    number_member(record, "new_line", written && program.changed(), program.new_line);
    std::vector<std::string_view> machine_names;
    if (program.has_load_address)
        machine_names = machines_starting_at(program.load_address);
    string_array_member(record, "machines", machine_names);
    string_member(record, "archive", program.archive == Archive::sda, "sda");
    return record + "}";
}

std::string file_record(const FileFacts& facts, const PassResult& result) {
    std::string record = "{";
    string_member(record, "record", true, "file");
    string_member(record, "file", true, facts.file);
    string_member(record, "kind", facts.container.has_value(),
                  facts.container ? container_name(*facts.container) : std::string_view());
    number_member(record, "size", true, facts.size);
    number_member(record, "programs", true, result.programs.size());
    number_member(record, "changed", true, facts.written ? result.changed() : 0);
    string_member(record, "written", facts.written.has_value(), facts.written.value_or(""));
    string_array_member(record, "warnings", facts.warnings);
    string_member(record, "error", facts.error.has_value(), facts.error.value_or(""));
    member(record, "status");
    if (facts.status < 0)
        record += '-';
    append_number(record, static_cast<unsigned long long>(facts.status < 0 ? -facts.status : facts.status));
    return record + "}";
}

} // namespace mog
