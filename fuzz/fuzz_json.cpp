// The JSON records of any names, texts and file names: every record parses
// as one JSON object, and the stored name bytes come back from
// name_petscii.
#include <cstring>
#include <string>

#include "cli/json_report.h"
#include "harness.h"
#include "json_reader.h"

using namespace mog;

namespace {

std::string unhex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

void check_parses(const std::string& record, JsonValue& value) {
    std::string error;
    FUZZ_CHECK(parse_json(record, value, error));
    FUZZ_CHECK(value.type == JsonValue::Type::object);
    FUZZ_CHECK(record.find('\n') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Byte 0: how many bytes of the name field follow (at most 16), then the
    // name, then the rest split in half: the start line's text and the file
    // name (zero bytes ended, as the system's names are).
    if (size < 1)
        return 0;
    std::size_t name_size = std::min<std::size_t>(data[0] % 17, size - 1);
    const std::uint8_t* name = data + 1;
    const std::uint8_t* rest = name + name_size;
    std::size_t rest_size = size - 1 - name_size;
    std::size_t text_size = rest_size / 2;

    FileReport report;
    report.file.assign(reinterpret_cast<const char*>(rest + text_size), rest_size - text_size);
    report.file = report.file.c_str();
    report.bytes = rest;
    report.size = rest_size;
    container_for_name("x.d64", report.container);
    ProgramRecord program;
    program.named = true;
    std::memcpy(program.name.data(), name, name_size);
    program.name_size = name_size;
    program.name_length = name_size;
    program.has_load_address = true;
    program.load_address = 0x0801;
    program.start_line = true;
    program.text_offset = 0;
    program.text_size = text_size;
    report.result.programs.push_back(program);
    report.result.notices.push_back(Notice{NoticeKind::directory_broken, 0, 0, data[0], 255});
    report.failure = failure_without_usage(3, "ERROR: Cannot read file '%s': x.", report.file.c_str());

    JsonValue value;
    check_parses(program_record(report, program), value);
    FUZZ_CHECK(unhex(value["name_petscii"].string) == std::string(reinterpret_cast<const char*>(name), name_size));
    check_parses(file_record(report), value);
    FUZZ_CHECK(value["programs"].number == 1);
    return 0;
}
