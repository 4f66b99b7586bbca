#include "mog/records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json_reader.h"

namespace {

using namespace mog;

// Every text comes back from a strict reader as it went in, but for its
// controls, which are escaped, and its invalid bytes, each one a U+FFFD.
TEST(JsonRecords, StringsParseBackToTheirText) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        const char* label;
        std::string text;
        std::string quoted;
        std::string parsed;
    };
    const std::vector<Case> cases = {
        {"plain", "HELLO", "\"HELLO\"", "HELLO"},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\"", "a\"b\\c"},
        {"C0 controls", std::string("\0\x01\x1F", 3), "\"\\u0000\\u0001\\u001f\"", std::string("\0\x01\x1F", 3)},
        {"DEL and C1 controls", "\x7F\xC2\x80\xC2\x9F", "\"\\u007f\\u0080\\u009f\"", "\x7F\xC2\x80\xC2\x9F"},
        {"no-break space is text", "\xC2\xA0", "\"\xC2\xA0\"", "\xC2\xA0"},
        {"overlong slash", "\xC0\xAF", "\"" + replacement + replacement + "\"", replacement + replacement},
        {"overlong three bytes", "\xE0\x80\xAF", "\"" + replacement + replacement + replacement + "\"",
         replacement + replacement + replacement},
        {"surrogate", "\xED\xA0\x80", "\"" + replacement + replacement + replacement + "\"",
         replacement + replacement + replacement},
        {"cut short", "a\xE2\x82", "\"a" + replacement + replacement + "\"", "a" + replacement + replacement},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\"" + replacement + replacement + replacement + replacement + "\"",
         replacement + replacement + replacement + replacement},
        {"four bytes", "\xF0\x9F\xAD\xB2", "\"\xF0\x9F\xAD\xB2\"", "\xF0\x9F\xAD\xB2"},
        {"U+07FF in three bytes is overlong", "\xE0\x9F\xBF", "\"" + replacement + replacement + replacement + "\"",
         replacement + replacement + replacement},
        {"U+0800, the first of three bytes", "\xE0\xA0\x80", "\"\xE0\xA0\x80\"", "\xE0\xA0\x80"},
        {"U+10FFFF, the last character", "\xF4\x8F\xBF\xBF", "\"\xF4\x8F\xBF\xBF\"", "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string quoted = json_string(c.text);
        EXPECT_EQ(quoted, c.quoted);
        JsonValue value;
        std::string error;
        ASSERT_TRUE(parse_json(quoted, value, error)) << error;
        EXPECT_EQ(value.string, c.parsed);
    }
}

// A program's record names every field, and a file's record the file's.
TEST(JsonRecords, RecordsHoldTheirFieldsInOrder) {
    const std::vector<unsigned char> bytes = {0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e, '2', '0', '6', '1', 0};
    const Container prg = *container_for_name("x.prg");
    std::vector<unsigned char> program_bytes = bytes;
    PassRequest request;
    request.each = {Action::set, 2026};
    PassResult result = run_pass(prg, program_bytes, request);
    ASSERT_EQ(result.programs.size(), 1u);
    EXPECT_EQ(program_record(RecordName("x.prg"), result.programs[0], program_bytes, true),
              "{\"record\":\"program\",\"file\":\"x.prg\",\"index\":0,\"name\":null,\"name_petscii\":null,"
              "\"type\":\"prg\",\"load_address\":2049,\"start_line\":true,\"line\":10,\"text\":\"2061\","
              "\"new_line\":2026,\"machines\":[\"c64\"],\"archive\":null}");
    // Not written, a changed line has no new number.
    EXPECT_NE(program_record(RecordName("x.prg"), result.programs[0], program_bytes, false).find("\"new_line\":null,"),
              std::string::npos);
    FileFacts facts;
    facts.file = "x.prg";
    facts.container = prg;
    facts.size = bytes.size();
    facts.written = "x.out.prg";
    facts.warnings = {"one", "two"};
    facts.error = "bad";
    facts.status = 3;
    EXPECT_EQ(file_record(facts, result),
              "{\"record\":\"file\",\"file\":\"x.prg\",\"kind\":\"prg\",\"size\":12,\"programs\":1,\"changed\":1,"
              "\"written\":\"x.out.prg\",\"warnings\":[\"one\",\"two\"],\"error\":\"bad\",\"crc32\":null,\"sha1\":null,"
              "\"new_crc32\":null,\"new_sha1\":null,\"status\":3}");
    facts.container.reset();
    facts.written.reset();
    facts.error.reset();
    facts.warnings.clear();
    facts.status = 0;
    EXPECT_EQ(file_record(facts, result),
              "{\"record\":\"file\",\"file\":\"x.prg\",\"kind\":null,\"size\":12,\"programs\":1,\"changed\":0,"
              "\"written\":null,\"warnings\":[],\"error\":null,\"crc32\":null,\"sha1\":null,\"new_crc32\":null,"
              "\"new_sha1\":null,\"status\":0}");
    // A record built by a caller that claims a longer name gives the 16 bytes held.
    ProgramRecord claimed = result.programs[0];
    claimed.named = true;
    claimed.name.fill('D');
    claimed.name_size = claimed.name_length = 1000;
    EXPECT_NE(program_record(RecordName("x.prg"), claimed, program_bytes, true)
                  .find("\"name\":\"" + std::string(16, 'D') + "\",\"name_petscii\":\"" + std::string(32, '4') + "\","),
              std::string::npos);
    const char* const types[] = {"del", "seq", "prg", "usr", "rel", "cbm", "del", "del"};
    for (unsigned type = 0; type < 256; ++type)
        EXPECT_EQ(file_type_name(static_cast<unsigned char>(type)), types[type & 7]) << type;
}

} // namespace
