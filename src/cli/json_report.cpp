#include "cli/json_report.h"

#include <cstring>

#include "basic/machines.h"
#include "cli/console.h"
#include "cli/text_report.h"
#include "cli/utf8.h"

namespace mog {

namespace {

const char* null_or(bool present, const std::string& value, std::string& kept) {
    kept = present ? value : "null";
    return kept.c_str();
}

std::string number_or_null(bool present, unsigned long long value) {
    return present ? std::to_string(value) : "null";
}

// The file type a directory entry's type byte names, from its low bits;
// types no drive writes (6 and 7) show as deleted files.
const char* file_type_name(unsigned char type) {
    static const char* const NAMES[] = {"del", "seq", "prg", "usr", "rel", "cbm", "del", "del"};
    return NAMES[type & 0x07];
}

std::string hex(const unsigned char* bytes, std::size_t size) {
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += DIGITS[bytes[i] >> 4];
        text += DIGITS[bytes[i] & 0x0F];
    }
    return text;
}

std::string string_array(const std::vector<std::string>& items) {
    std::string array = "[";
    for (const std::string& item : items) {
        if (array.size() > 1)
            array += ',';
        array += json_string(item);
    }
    return array + "]";
}

} // namespace

std::string json_string(const std::string& text) {
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
            quoted += formatted("\\u%04x", static_cast<unsigned>(code_point));
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

std::string program_record(const FileReport& report, const ProgramRecord& program) {
    std::string name, name_petscii, text; // kept alive for the formatting below
    std::vector<std::string> machine_names;
    if (program.has_load_address)
        for (const char* machine : machines_starting_at(program.load_address))
            machine_names.emplace_back(machine);
    const bool changed = report.written.has_value() && program.changed();
    return formatted(
        "{\"record\":\"program\",\"file\":%s,\"index\":%llu,\"name\":%s,\"name_petscii\":%s,\"type\":\"%s\","
        "\"load_address\":%s,\"start_line\":%s,\"line\":%s,\"text\":%s,\"new_line\":%s,\"machines\":%s}",
        json_string(report.file).c_str(), static_cast<unsigned long long>(program.index),
        null_or(program.named, json_string(petscii_to_utf8(program.name.data(), program.name_length)), name),
        null_or(program.named, formatted("\"%s\"", hex(program.name.data(), program.name_size).c_str()), name_petscii),
        file_type_name(program.file_type), number_or_null(program.has_load_address, program.load_address).c_str(),
        program.start_line ? "true" : "false", number_or_null(program.start_line, program.line).c_str(),
        null_or(program.start_line, json_string(petscii_to_utf8(report.bytes + program.text_offset, program.text_size)),
                text),
        number_or_null(changed, program.new_line).c_str(), string_array(machine_names).c_str());
}

std::string file_record(const FileReport& report) {
    std::vector<std::string> warnings;
    for (const Notice& notice : report.result.notices)
        if (std::string words = notice_words(notice, report.container); !words.empty())
            warnings.push_back(words);
    std::string kind, written, error;
    const bool failed = !report.failure.message.empty();
    return formatted(
        "{\"record\":\"file\",\"file\":%s,\"kind\":%s,\"size\":%llu,\"programs\":%llu,\"changed\":%llu,"
        "\"written\":%s,\"warnings\":%s,\"error\":%s,\"status\":%d}",
        json_string(report.file).c_str(),
        null_or(report.container.kind != nullptr,
                json_string(report.container.kind != nullptr ? container_name(report.container) : ""), kind),
        static_cast<unsigned long long>(report.size), static_cast<unsigned long long>(report.result.programs.size()),
        static_cast<unsigned long long>(report.written ? report.result.changed() : 0),
        null_or(report.written.has_value(), json_string(report.written.value_or("")), written),
        string_array(warnings).c_str(),
        null_or(failed, json_string(message_without_prefix(report.failure.message)), error), report.failure.status);
}

void write_file_records(const FileReport& report, const RunOptions& options) {
    for (const ProgramRecord& program : report.result.programs)
        if (!options.check || lacks_number(program, static_cast<unsigned>(options.line_number)))
            write_output_line(program_record(report, program));
    write_output_line(file_record(report));
}

std::string summary_record(const BatchCounts& counts) {
    return formatted("{\"record\":\"summary\",\"files\":%d,\"changed\":%d,\"unchanged\":%d,\"kept\":%d,\"failed\":%d}",
                     counts.files, counts.changed, counts.unchanged, counts.kept, counts.failed);
}

} // namespace mog
