#include "sources/zip_write.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "process_runner.h"
#include "sources/deflate.h"
#include "zip_builder.h"

namespace {

using namespace mog;

const std::string TEXT = "10 SYS2061, and text that packs: text that packs, text that packs";

// Members of every kind this unit writes, with those it only copies.
const std::vector<ZipEntry> ENTRIES = {
    {"A.PRG", TEXT, 0, 0, std::string("UT\x05\x00\x01\x4A\x5C\x21\x58", 9), "a comment"},
    {"B.D64", TEXT, 8, 4, "", "", 16},      // fast
    {"C.PRG", TEXT, 8, 2, "", "", 12},      // maximum compression
    {"D.PRG", TEXT, 8, 6, "", "", 0, true}, // fastest, ZIP64 sizes
    {"E.PRG", TEXT},                        // normal
    {"F.PRG", TEXT, 12},
    {"G.PRG", TEXT, 8, 1},
    {"H.PRG", TEXT, 8, 8}, // flagged for a data descriptor that is not there
    {"I.PRG", "", 0},      // its CRC-32 is 0
};

std::string text_of(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

std::string member_bytes(const std::string& archive, const ZipMember& member) {
    return archive.substr(member.local_offset,
                          member.data_offset + member.compressed_size + member.descriptor_size - member.local_offset);
}

// The central record without its local-header offset, the one field that
// may change for a member not replaced.
std::string record_without_offset(const std::string& archive, const ZipMember& member) {
    std::string record = archive.substr(member.central_offset, member.central_size);
    return record.replace(42, 4, "....");
}

TEST(ZipWrite, ChangesOnlyTheReplacedMembers) {
    const ZipLayout layouts[] = {{},
                                 {.prefix = "MZ stub", .comment = "collection", .padding = "slack"},
                                 {.prefix = "MZ", .comment = "z", .zip64 = true}};
    const std::string grown = varied_text();
    struct Change {
        std::string content;
        int level; // 0 for stored
    };
    const std::map<std::size_t, Change> changes = {{0, {"shrunk", 0}}, {1, {grown, 1}}, {2, {grown, 9}},
                                                   {3, {grown, 1}},    {4, {grown, 6}}, {7, {grown, 6}},
                                                   {8, {grown, 0}}};
    for (const ZipLayout& layout : layouts) {
        SCOPED_TRACE(layout.prefix + layout.comment);
        const std::string original = zip_of(ENTRIES, layout);
        const ZipDirectory before = read_zip_directory(span_of(original));
        ASSERT_EQ(before.problem, ZipArchiveProblem::none);
        Bytes out;
        ASSERT_EQ(write_zip(span_of(original), before, {}, out), ZipWriteResult::ok);
        EXPECT_EQ(text_of(out), original);

        std::vector<ZipReplacement> replacements;
        for (const auto& [index, change] : changes)
            replacements.push_back({index, span_of(change.content)});
        ASSERT_EQ(write_zip(span_of(original), before, replacements, out), ZipWriteResult::ok);
        const std::string written = text_of(out);
        const ZipDirectory after = read_zip_directory(out);
        ASSERT_EQ(after.problem, ZipArchiveProblem::none);
        ASSERT_EQ(after.members.size(), ENTRIES.size());
        EXPECT_EQ(written.substr(0, layout.prefix.size()), layout.prefix);
        EXPECT_EQ(after.comment, layout.comment);
        EXPECT_EQ(after.shift, before.shift);
        if (layout.zip64) {
            // The locator points to the ZIP64 end record as other readers take it.
            std::uint64_t stated = 0;
            for (int k = 7; k >= 0; --k)
                stated = stated << 8 | out[after.zip64_locator_offset + 8 + k];
            EXPECT_EQ(stated, after.zip64_end_offset - after.shift);
        }
        for (std::size_t i = 0; i < ENTRIES.size(); ++i) {
            const ZipMember& old_member = before.members[i];
            const ZipMember& member = after.members[i];
            SCOPED_TRACE(member.name);
            EXPECT_EQ(member.descriptor_size, old_member.descriptor_size);
            Bytes content;
            const ZipReadResult read = read_zip_member(out, member, content, grown.size());
            auto same = [&](std::size_t at, std::size_t old_at, std::size_t count) {
                EXPECT_EQ(written.substr(at, count), original.substr(old_at, count));
            };
            if (const auto change = changes.find(i); change != changes.end()) {
                EXPECT_EQ(read, ZipReadResult::ok);
                EXPECT_EQ(text_of(content), change->second.content);
                // All but the CRC-32, the sizes and the offset; a ZIP64
                // extra field holds sizes too.
                const std::size_t name = ENTRIES[i].name.size();
                const std::size_t local_kept = ENTRIES[i].zip64 ? name : member.data_offset - member.local_offset - 30;
                same(member.local_offset, old_member.local_offset, 14);
                same(member.local_offset + 26, old_member.local_offset + 26, 4 + local_kept);
                same(member.central_offset, old_member.central_offset, 16);
                same(member.central_offset + 28, old_member.central_offset + 28, 14);
                const std::size_t central_kept = ENTRIES[i].zip64 ? name : member.central_size - 46;
                same(member.central_offset + 46, old_member.central_offset + 46, central_kept);
                // The local header's CRC-32 and sizes are the central
                // record's, or zeros left to the data descriptor; ZIP64
                // sizes are in both extra fields.
                const std::string local_values = written.substr(member.local_offset + 14, 12);
                const bool later = ENTRIES[i].descriptor != 0;
                EXPECT_EQ(local_values, later ? std::string(12, '\0') : written.substr(member.central_offset + 16, 12));
                if (ENTRIES[i].zip64) {
                    EXPECT_EQ(written.substr(member.local_offset + 34 + name, 16),
                              written.substr(member.central_offset + 50 + name, 16));
                }
                EXPECT_EQ(member.central_size, old_member.central_size);
                Bytes expected;
                if (change->second.level != 0)
                    deflate_raw(span_of(change->second.content), change->second.level, expected);
                else
                    expected.assign(change->second.content.begin(), change->second.content.end());
                EXPECT_EQ(written.substr(member.data_offset, member.compressed_size), text_of(expected));
            } else {
                Bytes old_content;
                EXPECT_EQ(read, read_zip_member(span_of(original), old_member, old_content, grown.size()));
                EXPECT_EQ(content, old_content);
                EXPECT_EQ(member_bytes(written, member), member_bytes(original, old_member));
                EXPECT_EQ(record_without_offset(written, member), record_without_offset(original, old_member));
            }
        }
    }
}

TEST(ZipWrite, RefusesWhatItCannotWriteFaithfully) {
    const std::string archive = zip_of(ENTRIES);
    const ZipDirectory directory = read_zip_directory(span_of(archive));
    // The last member's central record pointed at the first one's bytes.
    const std::string shared = patched(archive, archive.rfind("PK\x01\x02") + 42, std::string(4, '\0'));
    const std::span<const unsigned char> content = span_of(TEXT);
    struct Case {
        const char* label;
        std::string archive;
        std::vector<ZipReplacement> replacements;
        ZipWriteResult result;
    };
    const Case cases[] = {
        {"no such member", archive, {{9, content}}, ZipWriteResult::bad_replacement},
        {"twice the same", archive, {{4, content}, {4, content}}, ZipWriteResult::bad_replacement},
        {"another method", archive, {{5, content}}, ZipWriteResult::bad_replacement},
        {"encrypted", archive, {{6, content}}, ZipWriteResult::bad_replacement},
        {"shared bytes", shared, {}, ZipWriteResult::overlapping_members},
        {"data into the next header",
         patched(archive, archive.find("PK\x01\x02") + 20, "\x44"),
         {},
         ZipWriteResult::overlapping_members},
        {"count differs",
         patched(archive, archive.size() - 14, std::string("\x0B\x00\x0B", 3)),
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
    EXPECT_EQ(write_zip(span_of(archive.substr(0, 100)), directory, {}, out), ZipWriteResult::unreadable_archive);
}

// Info-ZIP's unzip and Python's zipfile test every member of what is written.
TEST(ZipWrite, UnzipAndPythonAcceptWhatItWrites) {
    if (std::system("command -v unzip >/dev/null && command -v python3 >/dev/null") != 0)
        GTEST_SKIP() << "unzip or python3 is not installed";
    const std::vector<ZipEntry> entries(ENTRIES.begin(), ENTRIES.begin() + 5);
    TempFolder folder;
    const std::string doubled = TEXT + TEXT;
    for (const bool zip64 : {false, true}) {
        const std::string original = zip_of(entries, {.comment = "collection", .zip64 = zip64});
        std::vector<ZipReplacement> replacements;
        for (std::size_t i = 0; i < entries.size(); i += 2)
            replacements.push_back({i, span_of(doubled)});
        Bytes out;
        ASSERT_EQ(write_zip(span_of(original), read_zip_directory(span_of(original)), replacements, out),
                  ZipWriteResult::ok);
        write_file(folder / "out.zip", text_of(out));
        EXPECT_EQ(std::system(("unzip -tqq " + folder / "out.zip").c_str()), 0);
        EXPECT_EQ(
            std::system(
                ("python3 -c 'import sys, zipfile; sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)' " +
                 folder / "out.zip")
                    .c_str()),
            0);
    }
}

} // namespace
