// What the web page gets from the library, checked against the tool itself:
// the same records, listings, words and written bytes for the same file.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include <mog/mog.h>

#include "image_builder.h"
#include "json_reader.h"
#include "page_api.h"
#include "process_runner.h"
#include "sda_builder.h"

namespace {

const std::string SOURCE_DIR = MOG_SOURCE_DIR;
const std::string MIDDLE_DOT = "\xC2\xB7";

JsonValue parsed(const std::string& text) {
    JsonValue value;
    std::string error;
    EXPECT_TRUE(parse_json(text, value, error)) << error << "\n" << text;
    return value;
}

std::vector<JsonValue> parsed_lines(const std::string& text) {
    std::vector<JsonValue> values;
    std::string error;
    EXPECT_TRUE(parse_json_lines(text, values, error)) << error;
    return values;
}

std::span<unsigned char> span_of(std::string& bytes) {
    return std::span(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
}

// UTF-8 text with every C0 and C1 control as a middle dot, as the page and
// mog --unicode show it; the test's own model of it.
std::string with_marks(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F)
            shown += MIDDLE_DOT;
        else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                 static_cast<unsigned char>(text[i + 1]) < 0xA0)
            shown += MIDDLE_DOT, ++i;
        else
            shown += text[i];
    }
    return shown;
}

std::string hex_address(double address) {
    char text[8];
    std::snprintf(text, sizeof text, "$%04X", static_cast<unsigned>(address));
    return text;
}

// A disk whose names and start line hold control codes, a SEQ file, a
// program beyond the image, a VIC-20 program and a self-dissolving archive.
std::string marked_disk() {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "\x12RVS\x92\x05");
    put_entry(image, 18, 1, 1, FILE_SEQ, 17, 1, "NOTES");
    put_entry(image, 18, 1, 2, FILE_PRG, 36, 0, "FAR");
    put_entry(image, 18, 1, 3, FILE_PRG, 17, 2, "\x5C\x5E\xFF");
    put_entry(image, 18, 1, 4, FILE_PRG, 17, 3, "VIC");
    put_program(image, 17, 0, sys_program(10, "2061:\x13\x93\x0D"));
    put_program(image, 17, 1, "PLAIN TEXT");
    put_program(image, 17, 2, sys_program(1984, " 4096:REM"));
    put_program(image, 17, 3, sys_program(10, "4109", 0x1001));
    return image;
}

// An SDA-shaped program, as a PRG and as the only program of a disk.
std::string sda() {
    return sda_program(9, {{"HELLO", std::string("\x01\x08\x00\x00", 4)}});
}

std::string sda_disk() {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "ARCHIVE");
    std::vector<std::pair<int, int>> sectors;
    for (int sector = 0; sector < 21; ++sector)
        sectors.push_back({17, sector});
    put_file(image, sectors, sda());
    return image;
}

// The sample disk with its second entry led to the first one's program.
std::string shared_disk() {
    std::string disk = read_file(SOURCE_DIR + "/samples/sample.d64");
    const std::size_t first = sector_offset(18, 1) + 3; // where the first entry names its first sector
    return disk.replace(first + 32, 2, disk.substr(first, 2));
}

struct Source {
    std::string name;    // as the page and the tool get it
    std::string content; // the file's bytes
};

Source sample(const std::string& path) {
    return {path.substr(path.rfind('/') + 1), read_file(SOURCE_DIR + "/" + path)};
}

// Every kind of file the page takes, whole and damaged.
std::vector<Source> sources() {
    std::vector<Source> all = {
        sample("samples/sample.d64"),          sample("samples/sample.d81"),
        sample("samples/sample.t64"),          sample("samples/game.prg"),
        sample("tests/fixtures/cc1541.d71"),   sample("tests/fixtures/cbmconvert.d71"),
        sample("tests/fixtures/cc1541.d81"),   sample("tests/fixtures/cbmconvert.d81"),
        sample("tests/fixtures/machines.d71"), sample("tests/fixtures/machines.d81"),
        sample("tests/fixtures/one.p00"),      sample("tests/fixtures/loader.p00"),
        sample("tests/fixtures/c128.p00"),     sample("tests/fixtures/c128.prg"),
        sample("tests/fixtures/cbmconvert.lnx"),
    };
    const std::string disk = read_file(SOURCE_DIR + "/samples/sample.d64");
    all.push_back({"Half.D64", disk.substr(0, disk.size() / 2)});
    all.push_back({"marked.d64", marked_disk()});
    all.push_back({"marked.prg", sys_program(10, "2061:\x13\x93\x05")});
    all.push_back({"archive.prg", sda()});
    all.push_back({"archive.d64", sda_disk()});
    all.push_back({"nosys.prg", std::string("\x01\x08\x0B\x08\x0A\x00\x99\x22HI\x22\x00\x00\x00", 14)});
    all.push_back({"empty.prg", ""});
    all.push_back({"short.t64", "C64 tape"});
    all.push_back({"plain.p00", std::string(100, 'x')});
    all.push_back({"flux.p64", std::string(300, 'Z')});
    all.push_back({"blank.d64", blank_image()});
    all.push_back({"shared.d64", shared_disk()});
    return all;
}

// The page's listing of every file holds what the tool's JSON records hold
// for it, and its JSON records are the tool's, byte for byte; with each
// choice of machines.
TEST(PageListing, IsTheToolsListing) {
    for (const std::string machines : {"c64", "c64,c128", "all"}) {
        for (Source source : sources()) {
            SCOPED_TRACE(source.name + " with " + machines);
            TempFolder folder;
            write_file(folder / source.name, source.content);
            const ProcessResult tool = run_mog(folder.path(), {"-v", "--json", "--machine", machines, source.name});
            const std::string before = source.content;
            const JsonValue page =
                parsed(mog::page::list(source.name, span_of(source.content), {machines, "1999", ""}));
            EXPECT_EQ(source.content, before) << "a listing changes no byte";
            EXPECT_EQ(page["records"].string, tool.out);

            const std::vector<JsonValue> records = parsed_lines(tool.out);
            ASSERT_FALSE(records.empty());
            const JsonValue& file = records.back();
            EXPECT_EQ(page["kind"].string, file["kind"].string);
            EXPECT_EQ(page["size"].number, file["size"].number);
            EXPECT_EQ(page["status"].number, static_cast<double>(tool.status));
            EXPECT_EQ(page["error"].is_null(), file["error"].is_null());
            EXPECT_EQ(page["error"].string, file["error"].string);
            ASSERT_EQ(page["warnings"].array.size(), file["warnings"].array.size());
            for (std::size_t i = 0; i < file["warnings"].array.size(); ++i)
                EXPECT_EQ(page["warnings"].array[i].string, file["warnings"].array[i].string);

            const std::vector<JsonValue>& programs = page["programs"].array;
            ASSERT_EQ(programs.size() + 1, records.size());
            for (std::size_t i = 0; i < programs.size(); ++i) {
                const JsonValue &shown = programs[i], &record = records[i];
                EXPECT_EQ(shown["index"].number, record["index"].number);
                EXPECT_EQ(shown["name"].is_null(), record["name"].is_null());
                EXPECT_EQ(shown["name"].string, with_marks(record["name"].string));
                EXPECT_EQ(shown["type"].string, record["type"].string);
                EXPECT_EQ(shown["load_address"].string,
                          record["load_address"].is_null() ? "" : hex_address(record["load_address"].number));
                EXPECT_EQ(shown["line"].number, record["line"].number);
                EXPECT_EQ(shown["line"].is_null(), !record["start_line"].boolean);
                EXPECT_EQ(shown["text"].string,
                          record["start_line"].boolean ? "SYS" + with_marks(record["text"].string) : "");
                const bool settable = record["start_line"].boolean && record["archive"].is_null();
                EXPECT_EQ(shown["settable"].boolean, settable);
                EXPECT_EQ(shown["reason"].is_null(), settable);
                EXPECT_TRUE(shown["new_line"].is_null());
            }
        }
    }
}

// The start lines shown are those of mog -v --unicode, control codes as
// middle dots: its listing holds each name and "[line text]".
TEST(PageListing, ShowsTextAsUnicodeListingDoes) {
    for (Source source : {Source{"marked.d64", marked_disk()}, sample("samples/sample.d64")}) {
        SCOPED_TRACE(source.name);
        TempFolder folder;
        write_file(folder / source.name, source.content);
        const ProcessResult tool = run_mog(folder.path(), {"-v", "--unicode", source.name});
        ASSERT_EQ(tool.status, 0);
        const JsonValue page = parsed(mog::page::list(source.name, span_of(source.content), {"c64", "", ""}));
        std::size_t at = tool.out.find('\n') + 1; // after the year
        for (const JsonValue& program : page["programs"].array) {
            const std::size_t end = tool.out.find('\n', at);
            const std::string line = tool.out.substr(at, end - at);
            at = end + 1;
            EXPECT_EQ(line.rfind(program["name"].string, 0), 0u) << line;
            if (!program["line"].is_null()) {
                std::string bracket = "[";
                bracket += std::to_string(static_cast<long>(program["line"].number));
                bracket += ' ';
                bracket += program["text"].string;
                bracket += ']';
                EXPECT_NE(line.find(bracket), std::string::npos) << line;
            }
        }
    }
    std::string disk = marked_disk();
    const JsonValue marked = parsed(mog::page::list("marked.d64", span_of(disk), {}));
    ASSERT_GE(marked["programs"].array.size(), 1u);
    EXPECT_EQ(marked["programs"].array[0]["name"].string, MIDDLE_DOT + "RVS" + MIDDLE_DOT + MIDDLE_DOT);
    EXPECT_EQ(marked["programs"].array[0]["text"].string, "SYS2061:" + MIDDLE_DOT + MIDDLE_DOT + MIDDLE_DOT);
}

TEST(PageText, ControlCodesAreMiddleDots) {
    struct Case {
        std::string petscii;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"A", "A"},
        {"\x13", MIDDLE_DOT},
        {"\x93", MIDDLE_DOT},
        {std::string(1, '\0'), MIDDLE_DOT},
        {"\x1F\x80\x9F", MIDDLE_DOT + MIDDLE_DOT + MIDDLE_DOT},
        {"\x5C", "\xC2\xA3"},     // pound
        {"\x5E", "\xE2\x86\x91"}, // arrow up
        {"\xFF", "\xCF\x80"},     // pi
        {"\xA0", "\xC2\xA0"},     // shifted space
        {"\x0D"
         "AB",
         MIDDLE_DOT + "AB"},
        {"", ""},
    };
    for (Case c : cases)
        EXPECT_EQ(mog::page::shown_text(span_of(c.petscii)), c.shown) << c.shown;
}

// Which start lines may be set, and why the others may not.
TEST(PageListing, SaysWhyALineCannotBeSet) {
    struct Case {
        Source source;
        std::string machines;
        std::vector<std::string> reasons; // "" for a settable one
    };
    const std::string no_sys = "No SYS command where expected!";
    const std::vector<Case> cases = {
        {{"marked.d64", marked_disk()},
         "c64",
         {"", no_sys, "Its first bytes lie outside the file.", "",
          "Unexpected startadress 1001! BASIC starts there on: vic20, plus4."}},
        {{"marked.d64", marked_disk()}, "c64,plus4", {"", no_sys, "Its first bytes lie outside the file.", "", ""}},
        {{"archive.prg", sda()},
         "c64",
         {"Self-dissolving archive: its line number tells where the archive starts, so it is kept."}},
        {{"archive.d64", sda_disk()},
         "c64",
         {"Self-dissolving archive: its line number tells where the archive starts, so it is kept."}},
        {sample("tests/fixtures/c128.prg"), "c64", {"Unexpected startadress 1c01! BASIC starts there on: c128."}},
        {sample("tests/fixtures/c128.prg"), "c128", {""}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.source.name + " with " + c.machines);
        const JsonValue page = parsed(mog::page::list(c.source.name, span_of(c.source.content), {c.machines, "", ""}));
        std::vector<std::string> reasons;
        for (const JsonValue& program : page["programs"].array) {
            reasons.push_back(program["reason"].string);
            EXPECT_EQ(program["settable"].boolean, program["reason"].is_null());
        }
        EXPECT_EQ(reasons, c.reasons);
    }
    // The tool's record says so too.
    Source archive{"archive.prg", sda()};
    const JsonValue page = parsed(mog::page::list(archive.name, span_of(archive.content), {"c64", "", ""}));
    EXPECT_EQ(parsed_lines(page["records"].string).front()["archive"].string, "sda");
}

// Check says what mog --check says: it marks the start lines that lack the
// number as the tool lists them, "FILE: 'NAME' has line N, not M." (the
// whole name field, padding and all) or "FILE: has line N, not M.", an
// entry that shares one naming the first, and fails a file without one.
TEST(PageCheck, ChecksAsTheToolDoes) {
    const std::string padding = "\xC2\xA0";
    for (const std::string number : {"1999", "800", "10"}) {
        for (Source source : {sample("samples/sample.d64"), sample("samples/game.prg"),
                              Source{"marked.d64", marked_disk()}, Source{"archive.d64", sda_disk()},
                              Source{"shared.d64", shared_disk()}, Source{"blank.d64", blank_image()},
                              Source{"flux.p64", std::string(300, 'Z')}}) {
            SCOPED_TRACE(source.name + " against " + number);
            TempFolder folder;
            write_file(folder / source.name, source.content);
            const ProcessResult tool = run_mog(folder.path(), {"--check", "--unicode", "-n", number, source.name});
            std::vector<std::string> listed;
            for (std::size_t at = 0; at < tool.out.size(); at = tool.out.find('\n', at) + 1) {
                std::string line = tool.out.substr(at, tool.out.find('\n', at) - at);
                ASSERT_EQ(line.rfind(source.name + ": ", 0), 0u) << line;
                line.erase(0, source.name.size() + 2);
                std::string name;
                if (line[0] == '\'') {
                    const std::size_t quote = line.find("' has line ");
                    name = line.substr(1, quote - 1);
                    while (name.size() >= 2 && name.compare(name.size() - 2, 2, padding) == 0)
                        name.erase(name.size() - 2);
                    line.erase(0, quote + 2);
                }
                listed.push_back(name + "|" + line);
            }
            const JsonValue page =
                parsed(mog::page::check(source.name, span_of(source.content), {"c64", number, ""}));
            std::vector<std::string> marked;
            double start_lines = 0;
            for (const JsonValue& program : page["programs"].array)
                if (!program["check"].is_null()) {
                    const std::string shared = program["shared"].is_null() ? "" : " (" + program["shared"].string + ")";
                    marked.push_back(program["name"].string + "|" + program["check"].string + shared);
                    start_lines += program["shared"].is_null() ? 1 : 0;
                }
            if (page["no_start_line"].boolean)
                marked.push_back("|no start line.");
            EXPECT_EQ(marked, listed);
            EXPECT_EQ(page["lacking"].number, start_lines);
            EXPECT_EQ(page["status"].number, tool.status);
            EXPECT_EQ(page["passed"].boolean, tool.status == 0);
        }
    }
}

// What Check says in sentences; start lines that entries share count once.
TEST(PageCheck, SaysWhatItFound) {
    const std::string disk = read_file(SOURCE_DIR + "/samples/sample.d64");
    const std::vector<std::pair<Source, std::string>> cases = {
        {{"sample.d64", disk}, "No start line lacks 800."},
        {{"shared.d64", shared_disk()}, "7 start lines lack 1999."},
        {sample("samples/game.prg"), "1 start line lacks 1999."},
        {{"blank.d64", blank_image()}, "No start line."},
        {{"Half.D64", disk.substr(0, disk.size() / 2)}, "No start line. The file may hold more than could be checked."},
        {{"Long.D64", disk + std::string(1000, 'x')},
         "8 start lines lack 1999. The file may hold more than could be checked."},
        {{"Errors.D64", disk + std::string(ERROR_BYTES_35_TRACKS, 'x')}, "8 start lines lack 1999."},
    };
    for (auto [source, outcome] : cases) {
        const std::string number = outcome.find("800") != std::string::npos ? "800" : "1999";
        EXPECT_EQ(parsed(mog::page::check(source.name, span_of(source.content), {"c64", number, ""}))["outcome"].string,
                  outcome)
            << source.name;
    }
}

// Before reading: the tool's words for a name of no kind and a file too large.
TEST(PageAdmit, RefusesAsTheToolDoes) {
    struct Case {
        std::string name;
        double size;
        bool admitted;
        std::string kind; // "" for null
        std::string error;
        int status;
    };
    const double max = static_cast<double>(mog::MAX_FILE_SIZE);
    const std::string not_read = "Zip and gzip files are not supported in the page; the mog tool reads them.";
    const std::vector<Case> cases = {
        {"game.d64", 174848, true, "d64", "", 0},
        {"GAME.PRG", 0, true, "prg", "", 0},
        {"x.p42", max, true, "p00", "", 0},
        {"tape.T64", max + 1, false, "t64", "Cannot read file 'tape.T64': File too large.", 3},
        {"huge.d81", 1e12, false, "d81", "Cannot read file 'huge.d81': File too large.", 3},
        {"odd.d71", -1, false, "d71", "Cannot read file 'odd.d71': " + std::string(std::strerror(EINVAL)) + ".", 3},
        {"nan.d71", std::nan(""), false, "d71",
         "Cannot read file 'nan.d71': " + std::string(std::strerror(EINVAL)) + ".", 3},
        {"notes.txt", 10, false, "", "Unknown extension of source file.", 1},
        {"noextension", 10, false, "", "Unknown extension of source file.", 1},
        {"game.d6", 10, false, "", "Unknown extension of source file.", 1},
        {"games.ZIP", 10, false, "zip", not_read, 3},
        {"game.d64.gz", 10, false, "gzip", not_read, 3},
        {"3!GAME", 884, true, "d64", "", 0},
        {"x.lnx", 10, true, "lnx", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JsonValue answer = parsed(mog::page::admit(c.name, c.size));
        EXPECT_EQ(answer["file"].string, c.name);
        EXPECT_EQ(answer["admitted"].boolean, c.admitted);
        EXPECT_EQ(answer["kind"].is_null(), c.kind.empty());
        EXPECT_EQ(answer["kind"].string, c.kind);
        EXPECT_EQ(answer["error"].is_null(), c.error.empty());
        EXPECT_EQ(answer["error"].string, c.error);
        EXPECT_EQ(answer["status"].number, c.status);
        // The records of a refused file: the file's alone, or none for no
        // kind and for an archive, which the page does not read.
        if (c.admitted || c.kind.empty() || c.kind.find("zip") != std::string::npos) {
            EXPECT_TRUE(answer["records"].is_null());
        } else {
            const std::vector<JsonValue> records = parsed_lines(answer["records"].string);
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(records[0]["error"].string, c.error);
            EXPECT_EQ(records[0]["status"].number, c.status);
            EXPECT_EQ(records[0]["size"].number, 0);
        }
    }
}

// A set's parts name the set they belong to, by its first part.
TEST(PageAdmit, GroupsTheSetsParts) {
    for (const std::string name : {"1!GAME", "4!GAME"}) {
        const JsonValue answer = parsed(mog::page::admit(name, 500));
        EXPECT_EQ(answer["set"].string, "1!GAME");
        EXPECT_EQ(answer["part"].number, name[0] - '0');
    }
    EXPECT_TRUE(parsed(mog::page::admit("1!GAME.prg", 500))["set"].is_null());
}

// The same files through the tool: the same words, status and records.
TEST(PageAdmit, SaysWhatTheToolSays) {
    TempFolder folder;
    write_file(folder / "notes.txt", "hello");
    const ProcessResult unknown = run_mog(folder.path(), {"-v", "--json", "notes.txt"});
    const JsonValue page_unknown = parsed(mog::page::admit("notes.txt", 5));
    EXPECT_EQ(unknown.status, page_unknown["status"].number);
    EXPECT_EQ(unknown.out, "") << "the tool prints no record for a name of no kind";
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')), page_unknown["error"].string);

    write_file(folder / "big.d64", "");
    ASSERT_EQ(truncate((folder / "big.d64").c_str(), static_cast<off_t>(mog::MAX_FILE_SIZE + 1)), 0);
    const ProcessResult big = run_mog(folder.path(), {"-v", "--json", "big.d64"});
    const JsonValue page_big = parsed(mog::page::admit("big.d64", mog::MAX_FILE_SIZE + 1.0));
    EXPECT_EQ(big.status, page_big["status"].number);
    EXPECT_EQ(big.out, page_big["records"].string);

    // One byte less is read.
    ASSERT_EQ(truncate((folder / "big.d64").c_str(), static_cast<off_t>(mog::MAX_FILE_SIZE)), 0);
    EXPECT_TRUE(parsed(mog::page::admit("big.d64", mog::MAX_FILE_SIZE))["admitted"].boolean);
    EXPECT_EQ(run_mog(folder.path(), {"-v", "--json", "big.d64"}).status, 0);
}

TEST(PageAdmit, NamesWhatTheBrowserCouldNotRead) {
    struct Case {
        std::string browser_error;
        int code;
    };
    const std::vector<Case> cases = {
        {"NotFoundError", ENOENT}, {"SecurityError", EACCES}, {"NotReadableError", EIO}, {"AbortError", EIO}, {"", EIO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.browser_error);
        const JsonValue answer = parsed(mog::page::read_failed("Über.d81", c.browser_error));
        const std::string words = "Cannot read file 'Über.d81': " + std::string(std::strerror(c.code)) + ".";
        EXPECT_FALSE(answer["admitted"].boolean);
        EXPECT_EQ(answer["kind"].string, "d81");
        EXPECT_EQ(answer["error"].string, words);
        EXPECT_EQ(answer["status"].number, 3);
        const std::vector<JsonValue> records = parsed_lines(answer["records"].string);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0]["error"].string, words);
        EXPECT_EQ(records[0]["file"].string, "Über.d81");
    }
    EXPECT_EQ(parsed(mog::page::read_failed("x.doc", "NotFoundError"))["error"].string,
              "Unknown extension of source file.");
}

TEST(PageChoices, ReadsTheLineNumber) {
    struct Case {
        std::string typed;
        long number; // -1: an error
        std::string error;
    };
    const std::string range = "A line number is a whole number from 0 to 65535.";
    const std::vector<Case> cases = {
        {"1999", 1999, ""},
        {"0", 0, ""},
        {"00042", 42, ""},
        {"65535", 65535, ""},
        {"65536", -1, "Line number above 65535."},
        {"99999999999999999999", -1, "Line number above 65535."},
        {"", -1, range},
        {"-1", -1, range},
        {"+5", 5, ""},
        {" 1999", 1999, ""},
        {"2O26", -1, range},
        {"1999 ", -1, range},
        {"1e3", -1, range},
        {"19.5", -1, range},
        {"２０２６", -1, range},
        {std::string(40, '1'), -1, "Line number above 65535."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const mog::page::LineNumber line = mog::page::read_line_number(c.typed);
        EXPECT_EQ(line.number.has_value(), c.number >= 0);
        if (line.number) {
            EXPECT_EQ(static_cast<long>(*line.number), c.number);
        }
        EXPECT_EQ(line.error, c.error);
    }
}

TEST(PageChoices, ReadsTheMachines) {
    struct Case {
        std::string names;
        std::vector<unsigned> starts;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"c64", {0x0801}, ""},
        {"c64,c128", {0x0801, 0x1C01, 0x4001}, ""},
        {"C128", {0x1C01, 0x4001}, ""},
        {"vic20,plus4", {0x1001, 0x0401, 0x1201}, ""},
        {"all", {0x0801, 0x1C01, 0x4001, 0x1001, 0x0401, 0x1201, 0x2001}, ""},
        {"", {}, "Choose at least one machine."},
        {"c64,,c128", {}, "Unknown machine ''."},
        {"c65", {}, "Unknown machine 'c65'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        const mog::page::Machines machines = mog::page::read_machines(c.names);
        EXPECT_EQ(machines.basic_starts, c.starts);
        EXPECT_EQ(machines.error, c.error);
    }
    // A listing with no machine says so and gives no records.
    std::string disk = read_file(SOURCE_DIR + "/samples/sample.d64");
    const JsonValue page = parsed(mog::page::list("sample.d64", span_of(disk), {"", "1999", ""}));
    EXPECT_EQ(page["machines_error"].string, "Choose at least one machine.");
    EXPECT_TRUE(page["records"].is_null());
    const JsonValue stamp = parsed(mog::page::stamp("sample.d64", span_of(disk), {"", "1999", ""}));
    EXPECT_EQ(stamp["error"].string, "Choose at least one machine.");
    EXPECT_TRUE(stamp["destination"].is_null());
    EXPECT_EQ(disk, read_file(SOURCE_DIR + "/samples/sample.d64"));
}

TEST(PageChoices, ReadsTheProgramsToKeep) {
    struct Case {
        std::string typed;
        bool valid;
        std::vector<std::size_t> kept;
    };
    const std::vector<Case> cases = {
        {"", true, {}},   {"0", true, {0}},  {"3,1", true, {3, 1}}, {"10,200", true, {10, 200}},
        {",", false, {}}, {"1,", false, {}}, {",1", false, {}},     {"1,,2", false, {}},
        {"a", false, {}}, {"-1", false, {}}, {"1 ,2", false, {}},   {"1234567890", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<std::vector<std::size_t>> kept = mog::page::read_kept(c.typed);
        EXPECT_EQ(kept.has_value(), c.valid);
        if (kept) {
            EXPECT_EQ(*kept, c.kept);
        }
    }
}

// The default destination: the name less its extension, ".out", the
// extension in lower case; where the tool writes without a destination.
TEST(PageStamp, NamesTheDestinationAsTheToolDoes) {
    struct Case {
        std::string source;
        std::string destination;
    };
    const std::vector<Case> cases = {
        {"game.d64", "game.out.d64"},
        {"Demo.D81", "Demo.out.d81"},
        {"x.P07", "x.out.p07"},
        {"a.b.T64", "a.b.out.t64"},
        {"Spiel-Über.PRG", "Spiel-Über.out.prg"},
        {"game.out.d71", "game.out.out.d71"},
        {".prg", ".out.prg"},
    };
    const std::string program = read_file(SOURCE_DIR + "/samples/game.prg");
    const std::string disk = read_file(SOURCE_DIR + "/samples/sample.d64");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(mog::page::destination_name(c.source), c.destination);
        TempFolder folder;
        const mog::Container container = *mog::container_for_name(c.source);
        std::string content = mog::has_directory(container) ? disk : program;
        if (mog::container_name(container) == "p00")
            content = read_file(SOURCE_DIR + "/tests/fixtures/one.p00");
        if (mog::container_name(container) == "t64")
            content = read_file(SOURCE_DIR + "/samples/sample.t64");
        write_file(folder / c.source, content);
        const ProcessResult tool = run_mog(folder.path(), {"-n", "1999", c.source});
        EXPECT_EQ(tool.status, 0) << tool.err;
        EXPECT_TRUE(path_exists(folder / c.destination));
        const JsonValue page = parsed(mog::page::stamp(c.source, span_of(content), {"c64", "1999", ""}));
        EXPECT_EQ(page["destination"].string, c.destination);
        EXPECT_EQ(content, read_file(folder / c.destination));
    }
}

// A stamp writes what mog -n N writes: only the two bytes of each changed
// start line differ from the source.
TEST(PageStamp, WritesWhatTheToolWrites) {
    for (const std::string machines : {"c64", "all"}) {
        for (Source source : sources()) {
            SCOPED_TRACE(source.name + " with " + machines);
            TempFolder folder;
            write_file(folder / source.name, source.content);
            const ProcessResult tool =
                run_mog(folder.path(), {"-n", "1999", "--machine", machines, source.name, "out" + source.name});
            const std::string before = source.content;
            const JsonValue page =
                parsed(mog::page::stamp(source.name, span_of(source.content), {machines, "1999", ""}));
            EXPECT_EQ(page["status"].number, static_cast<double>(tool.status));
            if (tool.status != 0) {
                EXPECT_FALSE(path_exists(folder / ("out" + source.name)));
                EXPECT_TRUE(page["destination"].is_null());
                EXPECT_NE(tool.err.find(": " + page["error"].string), std::string::npos) << tool.err;
                EXPECT_EQ(source.content, before);
                continue;
            }
            EXPECT_TRUE(page["error"].is_null());
            EXPECT_EQ(source.content, read_file(folder / ("out" + source.name)));
            std::size_t differing = 0;
            for (std::size_t i = 0; i < before.size(); ++i)
                differing += before[i] != source.content[i] ? 1 : 0;
            std::size_t changed = 0;
            for (const JsonValue& program : page["programs"].array)
                if (!program["new_line"].is_null()) {
                    changed += program["shares_with"].is_null() ? 1 : 0; // a shared start line counts once
                    EXPECT_EQ(program["new_line"].number, 1999);
                    EXPECT_NE(program["line"].number, 1999);
                }
            EXPECT_EQ(page["changed"].number, static_cast<double>(changed));
            EXPECT_LE(differing, 2 * changed);
            EXPECT_EQ(before.size(), source.content.size());
        }
    }
}

// Programs left unset keep their line, as -i's Enter keeps it.
TEST(PageStamp, KeepsWhatTheUserKeeps) {
    struct Case {
        Source source;
        std::string kept;
        std::string answers; // to mog -i, one line per settable program
    };
    const std::vector<Case> cases = {
        {sample("samples/sample.d64"), "4", "1999\n1999\n\n1999\n1999\n1999\n1999\n1999\n"},
        {sample("samples/sample.d64"), "0,9", "\n1999\n1999\n1999\n1999\n1999\n1999\n\n"},
        {sample("samples/sample.d64"), "0,1,4,5,6,7,8,9", "\n\n\n\n\n\n\n\n"},
        {sample("samples/sample.d64"), "2,3", "1999\n1999\n1999\n1999\n1999\n1999\n1999\n1999\n"},
        {sample("samples/sample.t64"), "1", "1999\n\n"},
        {sample("samples/sample.d81"), "0", "\n"},
        {Source{"marked.d64", marked_disk()}, "3", "1999\n\n"},
        // The first of two entries that share a start line keeps it for both.
        {Source{"shared.d64", shared_disk()}, "0", "\n\n1999\n1999\n1999\n1999\n1999\n1999\n"},
        {Source{"shared.d64", shared_disk()}, "1", "1999\n\n1999\n1999\n1999\n1999\n1999\n1999\n"},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.source.name + " keeping " + c.kept);
        TempFolder folder;
        write_file(folder / c.source.name, c.source.content);
        RunSettings settings;
        settings.input = c.answers;
        const ProcessResult tool =
            run_mog(folder.path(), {"-i", "-n", "1999", c.source.name, "out" + c.source.name}, settings);
        ASSERT_EQ(tool.status, 0) << tool.err;
        const JsonValue page =
            parsed(mog::page::stamp(c.source.name, span_of(c.source.content), {"c64", "1999", c.kept}));
        EXPECT_EQ(c.source.content, read_file(folder / ("out" + c.source.name)));
        const std::vector<std::size_t> kept = *mog::page::read_kept(c.kept);
        for (const JsonValue& program : page["programs"].array) {
            const JsonValue& first = program["shares_with"].is_null() ? program["index"] : program["shares_with"];
            const auto index = static_cast<std::size_t>(first.number);
            const bool set = program["settable"].boolean && std::find(kept.begin(), kept.end(), index) == kept.end();
            EXPECT_EQ(program["new_line"].is_null(), !set) << index;
        }
    }
}

// What stops a stamp leaves the bytes alone and offers nothing.
TEST(PageStamp, RefusesAndChangesNothing) {
    struct Case {
        Source source;
        mog::page::Choices choices;
        std::string error;
        int status;
    };
    const std::vector<Case> cases = {
        {sample("samples/sample.d64"), {"c64", "65536", ""}, "Line number above 65535.", 1},
        {sample("samples/sample.d64"), {"c64", "", ""}, "A line number is a whole number from 0 to 65535.", 1},
        {sample("samples/sample.d64"), {"c64", "1999", "x"}, "The list of programs to keep is malformed.", 1},
        {sample("samples/sample.d64"), {"c65", "1999", ""}, "Unknown machine 'c65'.", 1},
        {sample("tests/fixtures/c128.prg"), {"c64", "1999", ""}, "Unexpected startadress 1c01!", 2},
        {Source{"nosys.prg", std::string("\x01\x08\x0B\x08\x0A\x00\x99\x22HI\x22\x00\x00\x00", 14)},
         {"c64", "1999", ""},
         "No SYS command where expected!",
         2},
        {Source{"plain.p00", std::string(100, 'x')}, {"c64", "1999", ""}, "Not a P00 file!", 2},
        {Source{"empty.prg", ""}, {"c64", "1999", ""}, "No SYS command where expected!", 2},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.source.name + ": " + c.error);
        const std::string before = c.source.content;
        const JsonValue page = parsed(mog::page::stamp(c.source.name, span_of(c.source.content), c.choices));
        EXPECT_EQ(page["error"].string, c.error);
        EXPECT_EQ(page["status"].number, c.status);
        EXPECT_TRUE(page["destination"].is_null());
        EXPECT_EQ(page["changed"].number, 0);
        EXPECT_EQ(c.source.content, before);
    }
}

// The facts the page is built from: the library's machines, version and year.
TEST(PageFacts, AreTheLibrarys) {
    const JsonValue facts = parsed(mog::page::facts());
    TempFolder folder;
    EXPECT_EQ("mog " + facts["version"].string + "\n", run_mog(folder.path(), {"--version"}).out);
    EXPECT_EQ(facts["year"].number, current_year());
    EXPECT_EQ(facts["max_line_number"].number, 65535);
    EXPECT_EQ(facts["max_file_size"].number, 16 * 1024 * 1024);
    EXPECT_EQ(facts["default_machines"].string, "c64");
    const std::vector<JsonValue>& machines = facts["machines"].array;
    ASSERT_EQ(machines.size(), mog::machines().size());
    for (std::size_t i = 0; i < machines.size(); ++i) {
        EXPECT_EQ(machines[i]["name"].string, mog::machines()[i].name);
        EXPECT_EQ(machines[i]["description"].string, mog::machines()[i].description);
        // Each machine's name is one --machine takes.
        EXPECT_TRUE(mog::page::read_machines(machines[i]["name"].string).error.empty());
    }
    EXPECT_EQ(machines[0]["starts"].string, "$0801");
    EXPECT_EQ(machines[1]["starts"].string, "$1C01, $4001 with a graphics screen");
    EXPECT_EQ(machines[2]["starts"].string, "$1001 unexpanded, $0401 with 3K, $1201 with 8K or more");
}

} // namespace

// A Zip-Code set whole, with a part missing and damaged: the records, the
// check and the new parts are those of the tool given the name of part 2.
TEST(PageSet, IsTheToolsSet) {
    struct Case {
        std::string what;
        int missing; // the part not given, 0 for none
        std::size_t cut; // the bytes part 3 is cut to, 0 for none
    };
    for (const Case& c : {Case{"whole", 0, 0}, Case{"without part 4", 4, 0}, Case{"part 3 cut", 0, 500}}) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        std::array<std::string, 4> parts;
        mog::page::SetParts set{"2!sample", {}};
        for (int part = 1; part <= 4; ++part) {
            const std::string name = std::to_string(part) + "!sample";
            parts[part - 1] = read_file(SOURCE_DIR + "/tests/fixtures/zipcode/" + name);
            if (part == 3 && c.cut != 0)
                parts[2].resize(c.cut);
            if (part == c.missing)
                continue;
            write_file(folder / name, parts[part - 1]);
            set.parts[part - 1] = span_of(parts[part - 1]);
        }
        const mog::page::Choices choices{"c64", "1999", ""};
        const ProcessResult listed = run_mog(folder.path(), {"-v", "--json", "2!sample"});
        const JsonValue list = parsed(mog::page::list_set(set, choices));
        EXPECT_EQ(list["records"].string, listed.out);
        EXPECT_EQ(list["status"].number, listed.status);
        const ProcessResult checked = run_mog(folder.path(), {"--check", "--json", "-n", "1999", "2!sample"});
        const JsonValue check = parsed(mog::page::check_set(set, choices));
        EXPECT_EQ(check["records"].string, checked.out);
        EXPECT_EQ(check["status"].number, checked.status);

        const ProcessResult stamped = run_mog(folder.path(), {"-n", "1999", "2!sample"});
        std::vector<unsigned char> written;
        const JsonValue stamp = parsed(mog::page::stamp_set(set, choices, written));
        ASSERT_EQ(stamp["parts"].array.size(), stamped.status == 0 ? 4u : 0u) << stamped.err;
        std::size_t at = 0;
        for (const JsonValue& part : stamp["parts"].array) {
            const auto size = static_cast<std::size_t>(part["size"].number);
            ASSERT_LE(at + size, written.size());
            const std::string bytes(written.begin() + static_cast<long>(at),
                                    written.begin() + static_cast<long>(at + size));
            EXPECT_EQ(bytes, read_file(folder / part["name"].string)) << part["name"].string;
            EXPECT_EQ(part["changed"].boolean, part["name"].string == "1!sample.out");
            at += size;
        }
        EXPECT_EQ(at, written.size());
    }
}
