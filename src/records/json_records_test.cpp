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
    EXPECT_EQ(program_record("x.prg", result.programs[0], program_bytes, true),
              "{\"record\":\"program\",\"file\":\"x.prg\",\"index\":0,\"name\":null,\"name_petscii\":null,"
              "\"type\":\"prg\",\"load_address\":2049,\"start_line\":true,\"line\":10,\"text\":\"2061\","
              "\"new_line\":2026,\"machines\":[\"c64\"],\"archive\":null}");
    // Not written, a changed line has no new number.
    EXPECT_NE(program_record("x.prg", result.programs[0], program_bytes, false).find("\"new_line\":null,"),
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
              "\"written\":\"x.out.prg\",\"warnings\":[\"one\",\"two\"],\"error\":\"bad\",\"status\":3}");
    facts.container.reset();
    facts.written.reset();
    facts.error.reset();
    facts.warnings.clear();
    facts.status = 0;
    EXPECT_EQ(file_record(facts, result),
              "{\"record\":\"file\",\"file\":\"x.prg\",\"kind\":null,\"size\":12,\"programs\":1,\"changed\":0,"
              "\"written\":null,\"warnings\":[],\"error\":null,\"status\":0}");
    const char* const types[] = {"del", "seq", "prg", "usr", "rel", "cbm", "del", "del"};
    for (unsigned type = 0; type < 256; ++type)
        EXPECT_EQ(file_type_name(static_cast<unsigned char>(type)), types[type & 7]) << type;
}

// A batch's records are made straight from the pass's records: they say
// what the view says, field by field.
TEST(JsonRecords, RecordsSayWhatTheViewSays) {
    const std::vector<unsigned char> bytes = {'2', '0', '6', '1', 0x12, '"', 0xA0};
    ProgramRecord base;
    base.index = 3;
    auto with = [&](auto change) {
        ProgramRecord program = base;
        change(program);
        return program;
    };
    auto named = [](ProgramRecord& p, std::vector<unsigned char> name) {
        p.named = true;
        std::copy(name.begin(), name.end(), p.name.begin());
        p.name_size = MAX_NAME_SIZE;
        p.name_length = name.size();
    };
    auto start_line = [](ProgramRecord& p, unsigned load, std::size_t offset, std::size_t size) {
        p.has_load_address = true;
        p.load_address = load;
        p.start_line = true;
        p.line = 10;
        p.text_offset = offset;
        p.text_size = size;
    };
    struct Case {
        const char* label;
        ProgramRecord program;
        bool written;
    };
    const std::vector<Case> cases = {
        {"nothing known", base, false},
        {"written start line", with([&](ProgramRecord& p) {
             named(p, {'H', 'I'});
             start_line(p, 0x0801, 0, 4);
             p.written = true;
             p.new_line = 2026;
         }),
         true},
        {"changed, not written", with([&](ProgramRecord& p) {
             start_line(p, 0x0801, 0, 4);
             p.written = true;
             p.new_line = 2026;
         }),
         false},
        {"controls, quote, shared, archive", with([&](ProgramRecord& p) {
             named(p, {0x12, '"', 0x5C, 0xFF});
             start_line(p, 0x1001, 3, 4);
             p.shares_with = 1;
             p.archive = Archive::sda;
             p.file_type = 0x81;
         }),
         true},
        {"text past the bytes", with([&](ProgramRecord& p) { start_line(p, 0x4001, 9, 2); }), false},
        {"load address, no start line", with([&](ProgramRecord& p) {
             p.has_load_address = true;
             p.load_address = 0xC000;
             p.file_type = 0x80;
         }),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(program_record("d/x.d64", c.program, bytes, c.written),
                  program_record(RecordName{"d/x.d64", std::nullopt}, program_view(c.program, bytes, c.written)));
    }
}

} // namespace
