#include "sources/zip_archive.h"

#include <gtest/gtest.h>

#include "sources/zip_write.h"
#include "zip_builder.h"

namespace {

using namespace mog;

const std::string TEXT = "10 SYS2061, and text that packs: text that packs, text that packs";

// A member's local header or central record with what a write may change
// blanked: the CRC-32, the sizes, the offset and the ZIP64 values.
std::string blanked(const std::string& archive, const ZipMember& member, bool central) {
    const std::size_t at = central ? member.central_offset : member.local_offset;
    std::string record = archive.substr(at, central ? member.central_size : member.data_offset - at);
    record.replace(central ? 16 : 14, 12, 12, '.');
    if (central)
        record.replace(42, 4, 4, '.');
    if (member.name == "wide.prg")
        record.replace((central ? 50 : 34) + member.name.size(), central ? 24 : 16, central ? 24 : 16, '.');
    return record;
}

// Each kind of member, listed and read, then written back as it is and
// with those that read replaced. The flags' bits 1-2 name the deflate speed.
TEST(ZipArchive, ListsReadsAndWritesBackEveryKindOfMember) {
    using P = ZipMemberProblem;
    using R = ZipReadResult;
    const std::string extra("UT\x05\0\x01\x4A\x5C\x21\x58", 9);
    const std::string grown = varied_text();
    struct Case {
        ZipEntry entry;
        ZipMemberProblem problem;
        ZipReadResult read;
        int level = -1; // of the replacement, 0 for stored; -1 for none
        std::string replacement = "";
    };
    const Case cases[] = {
        {{"GAMES/A.PRG", TEXT, 0, 0, extra, "a comment"}, P::none, R::ok, 0, "shrunk"},
        {{"signed.d64", TEXT, 8, 4, "", "", 16}, P::none, R::ok, 1, grown},   // fast
        {{"unsigned.d64", TEXT, 8, 2, "", "", 12}, P::none, R::ok, 9, grown}, // maximum
        {{"../../up.prg", TEXT}, P::none, R::ok, 6, grown},
        {{std::string("/abs\0nul", 8), TEXT}, P::none, R::ok},
        {{"wide.prg", TEXT, 8, 6, "", "", 0, true}, P::none, R::ok, 1, grown}, // super fast
        {{"flagged.prg", TEXT, 8, 8}, P::none, R::ok, 6, grown}, // for a data descriptor that is not there
        {{"empty.prg", "", 0}, P::none, R::ok, 0, grown},        // its CRC-32 is 0
        {{"bzip2.prg", TEXT, 12}, P::method, R::unsupported},
        {{"secret.prg", TEXT, 8, 1}, P::encrypted, R::unsupported},
        {{"strong.prg", TEXT, 8, 0x40}, P::encrypted, R::unsupported},
        {{"crc.prg", TEXT, 8, 0, "", "", 0, false, 1}, P::none, R::crc_mismatch},
        {{"bomb.prg", std::string(5000, 'a'), 8, 0, "", "", 0, false, 0, 10}, P::none, R::too_large}, // claims 10
        {{"short.prg", TEXT, 8, 0, "", "", 0, false, 0, 10}, P::none, R::corrupt},
        {{"stored.prg", TEXT, 0, 0, "", "", 0, false, 0, 10}, P::none, R::corrupt},
        {{"big.prg", TEXT + TEXT}, P::none, R::too_large},
    };
    std::vector<ZipEntry> entries;
    std::vector<ZipReplacement> replacements;
    for (const Case& c : cases) {
        if (c.level >= 0)
            replacements.push_back({entries.size(), span_of(c.replacement)});
        entries.push_back(c.entry);
    }
    for (const ZipLayout& layout : {ZipLayout{}, ZipLayout{.prefix = "MZ stub", .comment = "c", .padding = "slack"},
                                    ZipLayout{.prefix = "MZ", .zip64 = true}}) {
        SCOPED_TRACE(layout.prefix + layout.padding);
        const std::string original = zip_of(entries, layout);
        const ZipDirectory before = read_zip_directory(span_of(original));
        Bytes out;
        ASSERT_EQ(write_zip(span_of(original), before, {}, out), ZipWriteResult::ok);
        EXPECT_EQ(text_of(out), original);
        ASSERT_EQ(write_zip(span_of(original), before, replacements, out), ZipWriteResult::ok);
        const std::string written = text_of(out);
        const ZipDirectory after = read_zip_directory(out);
        ASSERT_EQ(after.problem, ZipArchiveProblem::none);
        ASSERT_EQ(after.members.size(), entries.size());
        EXPECT_EQ(written.substr(0, layout.prefix.size()) + after.comment, layout.prefix + layout.comment);
        EXPECT_EQ(after.shift, before.shift);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Case& c = cases[i];
            const ZipMember& old = before.members[i];
            const ZipMember& member = after.members[i];
            SCOPED_TRACE(c.entry.name);
            EXPECT_EQ(old.index, i);
            EXPECT_EQ(member.name, c.entry.name);
            EXPECT_EQ(member.problem, c.problem);
            EXPECT_EQ(old.descriptor_size + member.descriptor_size, 2 * c.entry.descriptor);
            Bytes content;
            EXPECT_EQ(read_zip_member(span_of(original), old, content, TEXT.size()), c.read);
            const bool given = c.read == R::ok || c.read == R::crc_mismatch;
            EXPECT_EQ(text_of(content), given ? c.entry.content : "");
            EXPECT_EQ(blanked(written, member, false), blanked(original, old, false));
            EXPECT_EQ(blanked(written, member, true), blanked(original, old, true));
            const ZipReadResult read = read_zip_member(out, member, content, c.level < 0 ? TEXT.size() : grown.size());
            if (c.level < 0) {
                const std::size_t size =
                    member.data_offset + member.compressed_size + member.descriptor_size - member.local_offset;
                EXPECT_EQ(written.substr(member.local_offset, size), original.substr(old.local_offset, size));
                EXPECT_EQ(read, c.read);
                continue;
            }
            EXPECT_EQ(read, R::ok);
            EXPECT_EQ(text_of(content), c.replacement);
            EXPECT_EQ(written.substr(member.data_offset, member.compressed_size),
                      c.level != 0 ? deflated(c.replacement, c.level) : c.replacement);
            // The local header's CRC-32 and sizes are the central record's,
            // or zeros left to the data descriptor; ZIP64 sizes are in both.
            const std::string values = written.substr(member.central_offset + 16, 12);
            EXPECT_EQ(written.substr(member.local_offset + 14, 12),
                      c.entry.descriptor ? std::string(12, '\0') : values);
            if (c.entry.zip64) {
                EXPECT_EQ(written.substr(member.local_offset + 42, 16), written.substr(member.central_offset + 58, 16));
            }
        }
    }
}

TEST(ZipDirectory, JudgesTheArchiveAsAWhole) {
    using A = ZipArchiveProblem;
    using P = ZipMemberProblem;
    const std::vector<ZipEntry> two = {{"a.prg", TEXT}, {"b.prg", TEXT, 0}};
    const std::string good = zip_of(two);
    const std::size_t central = good.find("PK\x01\x02");
    const std::size_t end = good.size() - 22;
    const std::string zip64 = zip_of({{"a.prg", TEXT, 8, 0, "", "", 0, true}}, {.zip64 = true});
    const std::string signature_comment = "PK\x05\x06 in a comment";
    struct Case {
        const char* label;
        std::string archive;
        ZipArchiveProblem problem;
        std::size_t members;
        ZipMemberProblem first = P::none;
    };
    const Case cases[] = {
        {"empty", "", A::not_zip, 0},
        {"text", std::string(100, 'P'), A::not_zip, 0},
        {"two members", good, A::none, 2},
        {"signature in the comment", zip_of(two, {.comment = signature_comment}), A::none, 2},
        {"longest comment", zip_of(two, {.comment = std::string(65535, 'c')}), A::none, 2},
        {"bytes after the comment", good + "padding", A::none, 2},
        {"a stub in front", zip_of(two, {.prefix = "MZ stub"}), A::none, 2},
        {"ZIP64", zip64, A::none, 1},
        {"end record cut", good.substr(0, good.size() - 1), A::not_zip, 0},
        {"front cut", good.substr(10), A::directory_outside, 0},
        {"directory past the end", patched(good, end + 16, "\xF0\xFF"), A::directory_outside, 0},
        {"record unsigned", patched(good, central, "PX"), A::directory_damaged, 0},
        {"record cut", patched(good, central + 28, "\xFF"), A::directory_damaged, 0},
        {"count differs", patched(good, end + 8, "\x03\x00\x03"), A::directory_damaged, 0},
        {"ZIP64 end lost", patched(zip64, zip64.find("PK\x06\x06"), "PX"), A::directory_damaged, 0},
        {"ZIP64 value lost", patched(zip64, zip64.find("PK\x01\x02") + 53, "\0"), A::directory_damaged, 0},
        {"second disk", zip_of(two, {.disk = 1}), A::multi_volume, 2, P::other_volume},
        {"member on another disk", patched(good, central + 34, "\x01"), A::none, 2, P::other_volume},
        {"no local header", patched(good, central + 42, "\x01"), A::none, 2, P::bad_local_header},
        {"local header cut", patched(good, 28, "\xFF"), A::none, 2, P::bad_local_header},
        {"data outside", patched(good, central + 20, "\xFF\x0F"), A::none, 2, P::data_outside},
    };
    for (const Case& c : cases) {
        const ZipDirectory directory = read_zip_directory(span_of(c.archive));
        EXPECT_EQ(directory.problem, c.problem) << c.label;
        ASSERT_EQ(directory.members.size(), c.members) << c.label;
        if (c.members == 0)
            continue;
        EXPECT_EQ(directory.members[0].problem, c.first) << c.label;
        EXPECT_EQ(directory.members[1 % c.members].name, c.members == 1 ? "a.prg" : "b.prg") << c.label;
        Bytes content;
        const ZipReadResult read = read_zip_member(span_of(c.archive), directory.members[0], content, 1000);
        EXPECT_EQ(read == ZipReadResult::ok, c.first == P::none) << c.label;
    }
    EXPECT_EQ(read_zip_directory(span_of(zip_of(two, {.comment = signature_comment}))).comment, signature_comment);
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
