// The JSON records of any names, texts and file names: every record parses
// as one JSON object, and the stored name bytes come back from
// name_petscii.
#include <cstring>
#include <string>

#include "harness.h"
#include "json_reader.h"
#include "mog/records.h"

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

    std::string file(reinterpret_cast<const char*>(rest + text_size), rest_size - text_size);
    file = file.c_str();
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
    PassResult result;
    result.programs.push_back(program);

    JsonValue value;
    check_parses(program_record(RecordName(file), program, std::span(rest, rest_size), false), value);
    FUZZ_CHECK(unhex(value["name_petscii"].string) == std::string(reinterpret_cast<const char*>(name), name_size));
    FileFacts facts;
    facts.file = file;
    facts.container = container_for_name("x.d64");
    facts.size = rest_size;
    facts.warnings.push_back(std::string(reinterpret_cast<const char*>(name), name_size));
    facts.error = "Cannot read file '" + file + "': x.";
    facts.status = 3;
    check_parses(file_record(facts, result), value);
    FUZZ_CHECK(value["programs"].number == 1);
    return 0;
}
