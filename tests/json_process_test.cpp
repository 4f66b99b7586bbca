// The JSON Lines listing, the Unicode display and the release check through
// the whole process. JSON output is read with the tests' own parser.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "image_builder.h"
#include "json_reader.h"
#include "process_runner.h"

namespace {

const std::string SOURCE_DIR = MOG_SOURCE_DIR;

std::vector<JsonValue> records(const ProcessResult& result) {
    std::vector<JsonValue> values;
    std::string error;
    EXPECT_TRUE(parse_json_lines(result.out, values, error)) << error;
    return values;
}

std::string unhex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Every fixture and sample: one program record per entry the text listing
// shows, with the same line numbers, and the name bytes where a directory
// entry (or header) of the format keeps them.
TEST(JsonProcess, ListingMatchesTheTextListing) {
    struct Case {
        std::string path;
        std::size_t name_at;   // where names lie: at this offset ...
        std::size_t name_step; // ... plus a multiple of this; 0 for no name
        bool directory = true; // false: one program, its start line alone
    };
    const std::string fixtures = SOURCE_DIR + "/tests/fixtures/", samples = SOURCE_DIR + "/samples/";
    const std::vector<Case> cases = {
        {samples + "sample.d64", 5, 32},       {samples + "sample.d81", 5, 32},
        {samples + "sample.t64", 64 + 16, 32}, {samples + "game.prg", 0, 0, false},
        {fixtures + "cc1541.d71", 5, 32},      {fixtures + "cbmconvert.d71", 5, 32},
        {fixtures + "cc1541.d81", 5, 32},      {fixtures + "cbmconvert.d81", 5, 32},
        {fixtures + "machines.d81", 5, 32},    {fixtures + "one.p00", 8, 1 << 20, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        TempFolder folder;
        const std::string content = read_file(c.path);
        ProcessResult text = run_mog(folder.path(), {"-v", c.path});
        ProcessResult json = run_mog(folder.path(), {"-v", "--json", c.path});
        EXPECT_EQ(json.status, text.status);
        EXPECT_EQ(json.err, "");
        std::vector<JsonValue> values = records(json);
        ASSERT_FALSE(values.empty());
        EXPECT_EQ(values.back()["record"].string, "file");
        // The listing's lines between the year and "Done.", or the one line of a PRG.
        std::vector<std::string> lines;
        for (std::size_t at = text.out.find('\n') + 1; at < text.out.size(); at = text.out.find('\n', at) + 1) {
            std::string line = text.out.substr(at, text.out.find('\n', at) - at);
            if (line != "Done." && !line.empty() && line.rfind("WARNING", 0) != 0)
                lines.push_back(line);
        }
        ASSERT_EQ(values.size(), lines.size() + 1);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const JsonValue& program = values[k];
            EXPECT_EQ(program["record"].string, "program");
            EXPECT_EQ(program["index"].number, static_cast<double>(k));
            std::size_t open = c.directory ? lines[k].find(" [") : 0;
            if (program["start_line"].boolean) {
                std::string number = lines[k].substr(open + (c.directory ? 2 : 0));
                EXPECT_EQ(std::to_string(static_cast<long>(program["line"].number)),
                          number.substr(0, number.find(' ')));
            } else {
                EXPECT_TRUE(program["line"].is_null());
                EXPECT_EQ(open, std::string::npos);
            }
            if (c.name_step == 0) {
                EXPECT_TRUE(program["name_petscii"].is_null());
                continue;
            }
            const std::string stored = unhex(program["name_petscii"].string);
            ASSERT_EQ(stored.size(), 16u);
            bool found = false;
            for (std::size_t at = content.find(stored); at != std::string::npos && !found;
                 at = content.find(stored, at + 1))
                found = at >= c.name_at && (at - c.name_at) % c.name_step == 0;
            EXPECT_TRUE(found) << program["name_petscii"].string;
        }
    }
}

// A disk with a name holding control codes and one holding the pound sign,
// arrows, a spade and pi, a SEQ file, and a program whose first sector lies
// beyond the image; a tape; a PRG.
std::string field_disk() {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "\x12HI\x92");
    put_entry(image, 18, 1, 1, FILE_SEQ, 17, 1, "NOTES");
    put_entry(image, 18, 1, 2, FILE_PRG, 36, 0, "FAR");
    put_entry(image, 18, 1, 3, FILE_PRG, 17, 2, "\x5C\x5E\x5F\x61\xFF");
    put_entry(image, 18, 1, 4, FILE_PRG, 17, 3, "LOADER");
    put_program(image, 17, 0,
                sys_program(10, "\x12"
                                "2061"));
    put_program(image, 17, 1, "PLAIN TEXT");
    put_program(image, 17, 2, sys_program(1984, " 4096:REM"));
    put_program(image, 17, 3, sys_program(10, "4109", 0x1001));
    return image;
}

TEST(JsonProcess, RecordsHoldEveryField) {
    struct Expected {
        std::string name;
        std::string type;
        double load_address; // -1: null
        bool start_line;
        double line; // -1: null
        std::string text;
        double new_line; // -1: null
        std::vector<std::string> machines;
    };
    const std::string pad = "\xC2\xA0"; // U+00A0 inside a name is no padding
    struct Case {
        std::string source;
        std::string content;
        std::vector<Expected> programs;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"disk.d64",
         field_disk(),
         {{"\x12HI\xC2\x92",
           "prg",
           2049,
           true,
           10,
           "\x12"
           "2061",
           2026,
           {"c64"}},
          {"NOTES", "seq", 0x4C50, false, -1, "", -1, {}},
          {"FAR", "prg", -1, false, -1, "", -1, {}},
          {"\xC2\xA3\xE2\x86\x91\xE2\x86\x90\xE2\x99\xA0\xCF\x80", "prg", 2049, true, 1984, " 4096:REM", 2026, {"c64"}},
          {"LOADER", "prg", 0x1001, false, -1, "", -1, {"vic20", "plus4"}}},
         "disk.out.d64"},
        {"tape.t64",
         tape_image({{1, 0x0801, "TAPE", sys_program(2026).substr(2)}}),
         {{"TAPE", "prg", 2049, true, 2026, "2061", -1, {"c64"}}},
         ""},
        {"game.prg",
         sys_program(7, "2061", 0x0801),
         {{"", "prg", 2049, true, 7, "2061", 2026, {"c64"}}},
         "game.out.prg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TempFolder folder;
        write_file(folder / c.source, c.content);
        ProcessResult result = run_mog(folder.path(), {"--json", "-n", "2026", c.source});
        EXPECT_EQ(result.status, 0);
        std::vector<JsonValue> values = records(result);
        ASSERT_EQ(values.size(), c.programs.size() + 1);
        for (std::size_t k = 0; k < c.programs.size(); ++k) {
            const JsonValue& program = values[k];
            const Expected& e = c.programs[k];
            SCOPED_TRACE(k);
            EXPECT_EQ(program["record"].string, "program");
            EXPECT_EQ(program["file"].string, c.source);
            EXPECT_EQ(program["index"].number, static_cast<double>(k));
            EXPECT_EQ(program["name"].string, e.name);
            EXPECT_EQ(program["name"].is_null(), c.source == "game.prg");
            EXPECT_EQ(program["type"].string, e.type);
            EXPECT_EQ(program["load_address"].is_null() ? -1 : program["load_address"].number, e.load_address);
            EXPECT_EQ(program["start_line"].boolean, e.start_line);
            EXPECT_EQ(program["line"].is_null() ? -1 : program["line"].number, e.line);
            EXPECT_EQ(program["text"].string, e.text);
            EXPECT_EQ(program["text"].is_null(), !e.start_line);
            EXPECT_EQ(program["new_line"].is_null() ? -1 : program["new_line"].number, e.new_line);
            std::vector<std::string> machines;
            for (const JsonValue& machine : program["machines"].array)
                machines.push_back(machine.string);
            EXPECT_EQ(machines, e.machines);
        }
        const JsonValue& file = values.back();
        EXPECT_EQ(file["record"].string, "file");
        EXPECT_EQ(file["file"].string, c.source);
        EXPECT_EQ(file["kind"].string, c.source.substr(c.source.size() - 3));
        EXPECT_EQ(file["size"].number, static_cast<double>(c.content.size()));
        EXPECT_EQ(file["programs"].number, static_cast<double>(c.programs.size()));
        int changed = 0;
        for (const Expected& e : c.programs)
            changed += e.new_line >= 0;
        EXPECT_EQ(file["changed"].number, changed);
        EXPECT_EQ(file["written"].string, c.written.empty() ? c.source.substr(0, c.source.size() - 4) + ".out" +
                                                                  c.source.substr(c.source.size() - 4)
                                                            : c.written);
        EXPECT_TRUE(file["warnings"].array.empty());
        EXPECT_TRUE(file["error"].is_null());
        EXPECT_EQ(file["status"].number, 0);
    }
}

// What cannot be done shows in the file record, as the same run without
// --json would end; standard error keeps its messages and standard output
// holds nothing else.
TEST(JsonProcess, FailuresShowInTheFileRecord) {
    struct Case {
        const char* label;
        std::vector<std::string> arguments;
        int status;
        std::size_t programs;
        std::string error; // empty: null
        std::string warning;
    };
    const std::vector<Case> cases = {
        {"loads at $1C01", {"loader.prg"}, 2, 1, "Unexpected startadress 1c01!", ""},
        {"missing", {"absent.d64"}, 1, 0, "File 'absent.d64' not found.", ""},
        {"existing destination, no -y", {"game.prg", "old.prg"}, 5, 0, "", ""},
        {"existing destination, -y", {"-y", "game.prg", "old.prg"}, 0, 1, "", ""},
        {"other size", {"-v", "short.d64"}, 0, 0, "", "Size of d64 seems invalid. It is 1000 but should be 174848."},
        {"bad command line", {"-n", "99999", "game.prg"}, 1, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        write_file(folder / "loader.prg", sys_program(10, "7169", 0x1C01));
        write_file(folder / "game.prg", sys_program(10));
        write_file(folder / "old.prg", "old");
        write_file(folder / "short.d64", std::string(1000, '\0'));
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "--json");
        ProcessResult result = run_mog(folder.path(), arguments);
        EXPECT_EQ(result.status, c.status);
        std::vector<JsonValue> values = records(result);
        if (std::string(c.label) == "bad command line") { // no file to tell of, and no usage text
            EXPECT_EQ(result.out, "");
            continue;
        }
        ASSERT_EQ(values.size(), c.programs + 1);
        const JsonValue& file = values.back();
        EXPECT_EQ(file["status"].number, c.status);
        EXPECT_EQ(file["error"].string, c.error);
        EXPECT_EQ(file["error"].is_null(), c.error.empty());
        EXPECT_EQ(result.err.find(c.error) != std::string::npos, !c.error.empty() || result.err.empty());
        if (!c.warning.empty()) {
            ASSERT_FALSE(file["warnings"].array.empty());
            EXPECT_EQ(file["warnings"].array[0].string, c.warning);
        }
        EXPECT_EQ(read_file(folder / "old.prg") == "old", c.status != 0 || c.arguments[0] != "-y");
    }
}

// In a batch each file's record carries its own status, whatever came
// before it: a kept file's programs were not written, so they have no new
// line.
TEST(JsonProcess, BatchRecordsCarryEachFilesOwnStatus) {
    struct Case {
        const char* file;
        std::string content;
        int status;
        std::string error; // empty: null
        double new_line;   // of its first program; -1: null
    };
    const std::vector<Case> cases = {
        {"a.prg", "", 3, "Cannot read file 'a.prg': File too large.", -1},
        {"b.prg", sys_program(10), 0, "", 7},
        {"c.prg", sys_program(10), 5, "", -1}, // c.out.prg is there
        {"d.prg", sys_program(10, "7169", 0x1C01), 2, "Unexpected startadress 1c01!", -1},
        {"e.prg", sys_program(7), 0, "", -1},
    };
    TempFolder folder;
    std::vector<std::string> arguments = {"--batch", "--json", "-n", "7"};
    for (const auto& c : cases) {
        write_file(folder / c.file, c.content);
        if (c.content.empty()) {
            ASSERT_EQ(truncate((folder / c.file).c_str(), (16 << 20) + 1), 0);
        }
        arguments.push_back(c.file);
    }
    write_file(folder / "c.out.prg", "old");
    ProcessResult result = run_mog(folder.path(), arguments);
    EXPECT_EQ(result.status, 3);
    std::vector<JsonValue> values = records(result);
    ASSERT_EQ(values.size(), 2 * cases.size());
    std::size_t at = 1;
    for (std::size_t k = 1; k < cases.size(); ++k, at += 2) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.file);
        const JsonValue& program = values[at];
        const JsonValue& file = values[at + 1];
        EXPECT_EQ(program["record"].string, "program");
        EXPECT_EQ(program["new_line"].is_null(), c.new_line < 0);
        if (c.new_line >= 0) {
            EXPECT_EQ(program["new_line"].number, c.new_line);
        }
        EXPECT_EQ(file["file"].string, c.file);
        EXPECT_EQ(file["status"].number, c.status);
        EXPECT_EQ(file["error"].is_null(), c.error.empty());
        EXPECT_EQ(file["error"].string, c.error);
    }
    EXPECT_EQ(values[0]["status"].number, 3);
    EXPECT_EQ(values.back()["record"].string, "summary");
    EXPECT_EQ(values.back()["failed"].number, 1);
    EXPECT_EQ(values.back()["kept"].number, 1);
    EXPECT_EQ(read_file(folder / "c.out.prg"), "old");
}

TEST(JsonProcess, UnicodeShowsTheMachinesOwnCharacters) {
    TempFolder folder;
    write_file(folder / "disk.d64", field_disk());
    for (const std::string option : {"", "-a"}) {
        SCOPED_TRACE(option);
        std::vector<std::string> arguments = {"--unicode", "-v", "disk.d64"};
        if (!option.empty())
            arguments.push_back(option);
        ProcessResult result = run_mog(folder.path(), arguments);
        EXPECT_EQ(result.status, 0);
        const std::string mark = option.empty() ? "\xC2\xB7" : "\xE2\x96\x88"; // a middle dot, or a full block
        EXPECT_NE(result.out.find(mark + "HI" + mark + "\xC2\xA0"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("\xC2\xA3\xE2\x86\x91\xE2\x86\x90\xE2\x99\xA0\xCF\x80"), std::string::npos); // £↑←♠π
        EXPECT_NE(result.out.find("[10 SYS" + mark + "2061]"), std::string::npos);
        for (std::size_t i = 0; i < result.out.size(); ++i) {
            auto byte = static_cast<unsigned char>(result.out[i]);
            EXPECT_TRUE(byte >= 0x20 || byte == '\n') << i;
            if (byte == 0xC2 && i + 1 < result.out.size()) {
                EXPECT_GE(static_cast<unsigned char>(result.out[i + 1]), 0xA0) << "a C1 control at " << i;
            }
        }
    }
}

// A release check: status 4 and a line for each program without the
// number before a rewrite, 0 after it; it writes nothing.
TEST(JsonProcess, CheckTellsWhetherEveryStartLineCarriesTheNumber) {
    TempFolder folder;
    std::string image = field_disk();
    write_file(folder / "disk.d64", image);
    ProcessResult before = run_mog(folder.path(), {"--check", "-n", "1984", "disk.d64"});
    EXPECT_EQ(before.status, 4);
    EXPECT_EQ(before.err, "");
    EXPECT_EQ(before.out, "disk.d64: 'RHI_" + std::string(12, ' ') + "' has line 10, not 1984.\n");
    std::vector<JsonValue> values = records(run_mog(folder.path(), {"--check", "--json", "-n", "1984", "disk.d64"}));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0]["index"].number, 0);
    EXPECT_EQ(values[1]["status"].number, 4);
    EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"disk.d64"});

    ASSERT_EQ(run_mog(folder.path(), {"-y", "-n", "1984", "disk.d64", "disk.d64"}).status, 0);
    struct stat written {};
    stat((folder / "disk.d64").c_str(), &written);
    ProcessResult after = run_mog(folder.path(), {"--check", "-n", "1984", "disk.d64"});
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(after.out, "");
    struct stat checked {};
    stat((folder / "disk.d64").c_str(), &checked);
    EXPECT_EQ(checked.st_mtim.tv_nsec, written.st_mtim.tv_nsec);
    EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"disk.d64"});

    write_file(folder / "loader.prg", sys_program(10, "7169", 0x1C01));
    EXPECT_EQ(run_mog(folder.path(), {"--check", "loader.prg"}).status, 4);
}

} // namespace
