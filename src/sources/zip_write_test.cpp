#include "sources/zip_write.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "process_runner.h"
#include "zip_builder.h"

namespace {

using namespace mog;

// What is replaced and kept is checked in zip_archive_test.cpp, member by
// member; here what cannot be written, and what other tools make of it.
const std::string TEXT = "10 SYS2061, and text that packs: text that packs, text that packs";

TEST(ZipWrite, RefusesWhatItCannotWriteFaithfully) {
    const std::string archive =
        zip_of({{"A.PRG", TEXT, 0}, {"B.PRG", TEXT}, {"C.PRG", TEXT, 12}, {"D.PRG", TEXT, 8, 1}});
    const std::span<const unsigned char> content = span_of(TEXT);
    struct Case {
        const char* label;
        std::string archive;
        std::vector<ZipReplacement> replacements;
        ZipWriteResult result;
    };
    const Case cases[] = {
        {"no such member", archive, {{4, content}}, ZipWriteResult::bad_replacement},
        {"twice the same", archive, {{1, content}, {1, content}}, ZipWriteResult::bad_replacement},
        {"another method", archive, {{2, content}}, ZipWriteResult::bad_replacement},
        {"encrypted", archive, {{3, content}}, ZipWriteResult::bad_replacement},
        {"shared bytes",
         patched(archive, archive.rfind("PK\x01\x02") + 42, "\0\0\0\0"),
         {},
         ZipWriteResult::overlapping_members},
        {"data into the next header",
         patched(archive, archive.find("PK\x01\x02") + 20, "\x44"),
         {},
         ZipWriteResult::overlapping_members},
        {"count differs",
         patched(archive, archive.size() - 14, "\x0B\x00\x0B"),
         {},
         ZipWriteResult::unreadable_archive},
        {"no local header", patched(archive, 0, "X"), {}, ZipWriteResult::unreadable_member},
    };
    for (const Case& c : cases) {
        Bytes out = {'x'};
        EXPECT_EQ(write_zip(span_of(c.archive), read_zip_directory(span_of(c.archive)), c.replacements, out), c.result)
            << c.label;
        EXPECT_TRUE(out.empty()) << c.label;
    }
    // A directory taken from another archive does not lead outside this one.
    Bytes out;
    EXPECT_EQ(write_zip(span_of(archive.substr(0, 100)), read_zip_directory(span_of(archive)), {}, out),
              ZipWriteResult::unreadable_archive);
}

// Info-ZIP's unzip and Python's zipfile test every member of what is written.
TEST(ZipWrite, UnzipAndPythonAcceptWhatItWrites) {
    if (std::system("command -v unzip >/dev/null && command -v python3 >/dev/null") != 0)
        GTEST_SKIP() << "unzip or python3 is not installed";
    const std::string extra("UT\x05\0\x01\x4A\x5C\x21\x58", 9);
    const std::vector<ZipEntry> entries = {{"A.PRG", TEXT, 0, 0, extra, "comment"},
                                           {"B.PRG", TEXT, 8, 0, "", "", 16},
                                           {"C.PRG", TEXT, 8, 0, "", "", 12},
                                           {"D.PRG", TEXT, 8, 0, "", "", 0, true},
                                           {"E.PRG", TEXT},
                                           {"F.PRG", "", 0}};
    const std::string doubled = TEXT + TEXT;
    const std::vector<ZipReplacement> replacements = {
        {0, span_of(doubled)}, {2, span_of(doubled)}, {3, {}}, {5, span_of(doubled)}};
    TempFolder folder;
    for (const bool zip64 : {false, true}) {
        const std::string original = zip_of(entries, {.comment = "collection", .zip64 = zip64});
        Bytes out;
        ASSERT_EQ(write_zip(span_of(original), read_zip_directory(span_of(original)), replacements, out),
                  ZipWriteResult::ok);
        write_file(folder / "out.zip", text_of(out));
        EXPECT_EQ(std::system(("unzip -tqq " + folder / "out.zip").c_str()), 0);
        const std::string python =
            "python3 -c 'import sys, zipfile; sys.exit(zipfile.ZipFile(sys.argv[1]).testzip())' ";
        EXPECT_EQ(std::system((python + folder / "out.zip").c_str()), 0);
    }
}

} // namespace
