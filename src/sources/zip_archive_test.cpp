#include "sources/zip_archive.h"

#include <gtest/gtest.h>

#include <string>

#include "zip_builder.h"

namespace {

using namespace mog;

const std::string TEXT = "10 SYS2061, and text that packs: text that packs, text that packs";

TEST(ZipDirectory, ListsEveryMemberAsStoredAndReadsWhatItCan) {
    struct Case {
        ZipEntry entry;
        ZipMemberProblem problem;
        ZipReadResult read;
    };
    const Case cases[] = {
        {{"GAMES/A.PRG", TEXT, 0, 0, std::string("UT\x05\x00\x01\x4A\x5C\x21\x58", 9), "a comment"},
         ZipMemberProblem::none,
         ZipReadResult::ok},
        {{"signed.d64", TEXT, 8, 0, "", "", 16}, ZipMemberProblem::none, ZipReadResult::ok},
        {{"unsigned.d64", TEXT, 8, 0, "", "", 12}, ZipMemberProblem::none, ZipReadResult::ok},
        {{"../../up.prg", TEXT}, ZipMemberProblem::none, ZipReadResult::ok},
        {{std::string("/abs\0nul", 8), TEXT}, ZipMemberProblem::none, ZipReadResult::ok},
        {{"wide.prg", TEXT, 8, 0, "", "", 0, true}, ZipMemberProblem::none, ZipReadResult::ok},
        {{"bzip2.prg", TEXT, 12}, ZipMemberProblem::method, ZipReadResult::unsupported},
        {{"secret.prg", TEXT, 8, 1}, ZipMemberProblem::encrypted, ZipReadResult::unsupported},
        {{"strong.prg", TEXT, 8, 0x40}, ZipMemberProblem::encrypted, ZipReadResult::unsupported},
        {{"crc.prg", TEXT, 8, 0, "", "", 0, false, 1}, ZipMemberProblem::none, ZipReadResult::crc_mismatch},
        {{"bomb.prg", std::string(5000, 'a'), 8, 0, "", "", 0, false, 0, 10},
         ZipMemberProblem::none,
         ZipReadResult::too_large},
        {{"short.prg", TEXT, 8, 0, "", "", 0, false, 0, 10}, ZipMemberProblem::none, ZipReadResult::corrupt},
        {{"stored.prg", TEXT, 0, 0, "", "", 0, false, 0, 10}, ZipMemberProblem::none, ZipReadResult::corrupt},
        {{"big.prg", TEXT + TEXT}, ZipMemberProblem::none, ZipReadResult::too_large},
    };
    std::vector<ZipEntry> entries;
    for (const Case& c : cases)
        entries.push_back(c.entry);
    const std::string archive = zip_of(entries);
    const ZipDirectory directory = read_zip_directory(span_of(archive));
    ASSERT_EQ(directory.problem, ZipArchiveProblem::none);
    ASSERT_EQ(directory.members.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipMember& member = directory.members[i];
        const ZipEntry& entry = cases[i].entry;
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(member.index, i);
        EXPECT_EQ(member.name, entry.name);
        EXPECT_EQ(member.method, entry.method);
        EXPECT_EQ(member.encrypted, entry.flags != 0);
        EXPECT_EQ(member.problem, cases[i].problem);
        EXPECT_EQ(member.descriptor_size, entry.descriptor);
        Bytes content = {'x'};
        EXPECT_EQ(read_zip_member(span_of(archive), member, content, TEXT.size()), cases[i].read);
        const bool given = cases[i].read == ZipReadResult::ok || cases[i].read == ZipReadResult::crc_mismatch;
        EXPECT_EQ(std::string(content.begin(), content.end()), given ? entry.content : "");
    }
}

TEST(ZipDirectory, JudgesTheArchiveAsAWhole) {
    const std::vector<ZipEntry> two = {{"a.prg", TEXT}, {"b.prg", TEXT, 0}};
    const std::string good = zip_of(two);
    const std::size_t central = good.find("PK\x01\x02");
    const std::size_t end = good.size() - 22;
    const std::string zip64 = zip_of({{"a.prg", TEXT, 8, 0, "", "", 0, true}}, {.zip64 = true});
    struct Case {
        const char* label;
        std::string archive;
        ZipArchiveProblem problem;
        std::size_t members;
        ZipMemberProblem first = ZipMemberProblem::none;
    };
    const Case cases[] = {
        {"empty", "", ZipArchiveProblem::not_zip, 0},
        {"text", std::string(100, 'P'), ZipArchiveProblem::not_zip, 0},
        {"two members", good, ZipArchiveProblem::none, 2},
        {"signature in the comment", zip_of(two, {.comment = "PK\x05\x06 in a comment"}), ZipArchiveProblem::none, 2},
        {"bytes after the comment", good + "padding", ZipArchiveProblem::none, 2},
        {"longest comment", zip_of(two, {.comment = std::string(65535, 'c')}), ZipArchiveProblem::none, 2},
        {"a stub in front", zip_of(two, {.prefix = "MZ stub"}), ZipArchiveProblem::none, 2},
        {"ZIP64", zip64, ZipArchiveProblem::none, 1},
        {"end record cut", good.substr(0, good.size() - 1), ZipArchiveProblem::not_zip, 0},
        {"front cut", good.substr(10), ZipArchiveProblem::directory_outside, 0},
        {"directory past the end", patched(good, end + 16, "\xF0\xFF"), ZipArchiveProblem::directory_outside, 0},
        {"record unsigned", patched(good, central, "PX"), ZipArchiveProblem::directory_damaged, 0},
        {"record cut", patched(good, central + 28, "\xFF"), ZipArchiveProblem::directory_damaged, 0},
        {"count differs", patched(good, end + 8, std::string("\x03\x00\x03", 3)), ZipArchiveProblem::directory_damaged,
         0},
        {"ZIP64 end lost", patched(zip64, zip64.find("PK\x06\x06"), "PX"), ZipArchiveProblem::directory_damaged, 0},
        {"ZIP64 value lost", patched(zip64, zip64.find("PK\x01\x02") + 53, std::string(1, '\0')),
         ZipArchiveProblem::directory_damaged, 0},
        {"second disk", zip_of(two, {.disk = 1}), ZipArchiveProblem::multi_volume, 2, ZipMemberProblem::other_volume},
        {"member on another disk", patched(good, central + 34, "\x01"), ZipArchiveProblem::none, 2,
         ZipMemberProblem::other_volume},
        {"no local header", patched(good, central + 42, "\x01"), ZipArchiveProblem::none, 2,
         ZipMemberProblem::bad_local_header},
        {"local header cut", patched(good, 28, "\xFF"), ZipArchiveProblem::none, 2, ZipMemberProblem::bad_local_header},
        {"data outside", patched(good, central + 20, "\xFF\x0F"), ZipArchiveProblem::none, 2,
         ZipMemberProblem::data_outside},
    };
    for (const Case& c : cases) {
        const ZipDirectory directory = read_zip_directory(span_of(c.archive));
        EXPECT_EQ(directory.problem, c.problem) << c.label;
        ASSERT_EQ(directory.members.size(), c.members) << c.label;
        if (c.members > 0) {
            EXPECT_EQ(directory.members[0].problem, c.first) << c.label;
            EXPECT_EQ(directory.members[1 % c.members].name, c.members == 1 ? "a.prg" : "b.prg") << c.label;
        }
        Bytes content;
        if (c.first == ZipMemberProblem::none && c.members > 0) {
            EXPECT_EQ(read_zip_member(span_of(c.archive), directory.members[0], content, 1000), ZipReadResult::ok);
        }
    }
    EXPECT_EQ(read_zip_directory(span_of(zip_of(two, {.comment = "PK\x05\x06 in a comment"}))).comment,
              "PK\x05\x06 in a comment");
}

// The ZIP64 count, or the 16-bit count that wrapped, of 70,000 members.
TEST(ZipDirectory, ListsAtMost65535Members) {
    std::vector<ZipEntry> entries(70'000, ZipEntry{"", "x", 0});
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].name = std::to_string(i);
    for (const bool zip64 : {true, false}) {
        const ZipDirectory directory = read_zip_directory(span_of(zip_of(entries, {.zip64 = zip64})));
        EXPECT_EQ(directory.problem, ZipArchiveProblem::too_many_members);
        ASSERT_EQ(directory.members.size(), MOST_ZIP_MEMBERS);
        EXPECT_EQ(directory.members.back().name, "65534");
        EXPECT_EQ(directory.members.back().problem, ZipMemberProblem::none);
    }
}

} // namespace
