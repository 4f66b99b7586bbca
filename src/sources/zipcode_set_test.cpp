#include "sources/zipcode_set.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>

#include "process_runner.h"

namespace {

using namespace mog;
using namespace std::string_literals;
using Bytes = std::vector<unsigned char>;
using Set = std::array<Bytes, ZIPCODE_PARTS>;

Bytes source_file(const std::string& name) {
    const std::string text = read_file(std::string(MOG_SOURCE_DIR) + "/" + name);
    return Bytes(text.begin(), text.end());
}

// The sample disk's set as disk2zip wrote it.
const Set SAMPLE_SET = {source_file("tests/fixtures/zipcode/1!sample"), source_file("tests/fixtures/zipcode/2!sample"),
                        source_file("tests/fixtures/zipcode/3!sample"), source_file("tests/fixtures/zipcode/4!sample")};
const Bytes SAMPLE_DISK = source_file("samples/sample.d64");

ZipcodeDecoded decode(const Set& set) {
    return decode_zipcode_set({set[0], set[1], set[2], set[3]});
}

// The sample set with each part rewritten for the new disk, or as it was.
Set rewritten(const Bytes& new_disk, std::span<const int> changed) {
    Set result = SAMPLE_SET;
    const auto parts = encode_changed({SAMPLE_SET[0], SAMPLE_SET[1], SAMPLE_SET[2], SAMPLE_SET[3]},
                                      decode(SAMPLE_SET).disk, new_disk, changed);
    for (std::size_t p = 0; p < parts.size(); ++p)
        result[p] = parts[p].value_or(SAMPLE_SET[p]);
    return result;
}

TEST(ZipcodeSet, NamesOfParts) {
    // A path, its part number, its part 3's path, its set's name.
    // clang-format off
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"disks/1!GAME", 1, "disks/3!GAME", "disks/GAME"}, {"2!Game.z64", 2, "3!Game.z64", "Game.z64"},
        {"a\\4!x", 4, "a\\3!x", "a\\x"}, {"5!GAME", 0, "5!GAME", "5!GAME"}, {"0!G", 0, "0!G", "0!G"},
        {"1!", 0, "1!", "1!"}, {"1!d/G", 0, "1!d/G", "1!d/G"}, {"b1!X", 0, "b1!X", "b1!X"}, {"1-X", 0, "1-X", "1-X"}};
    // clang-format on
    for (const auto& [path, part, third, set] : cases)
        EXPECT_EQ(std::tuple(zipcode_part_number(path), zipcode_part_path(path, 3), zipcode_set_name(path)),
                  std::tuple(part, third, set));
}

TEST(ZipcodeSet, DecodesWhatDisk2zipWroteAndCodesItAlike) {
    const ZipcodeDecoded decoded = decode(SAMPLE_SET);
    EXPECT_EQ(decoded.disk.image, SAMPLE_DISK);
    EXPECT_EQ(decoded.disk.id, (std::array<unsigned char, 2>{'6', '4'}));
    const ZipcodeRecord second = decoded.disk.records[11]; // part 1's second record, run-length coded
    EXPECT_EQ(std::tuple(second.part, second.offset, second.size), std::tuple(1, 262u, 2 + 2 + 65u));

    std::vector<int> all(ZIPCODE_SECTORS);
    std::iota(all.begin(), all.end(), 0);
    for (const auto& part :
         encode_changed({SAMPLE_SET[0], SAMPLE_SET[1], SAMPLE_SET[2], SAMPLE_SET[3]}, decoded.disk, SAMPLE_DISK, all))
        EXPECT_FALSE(part); // coded as disk2zip codes, so the same
}

TEST(ZipcodeSet, DamagedSetsNameTheirFault) {
    using enum ZipcodeFault;
    // Bytes put at an offset of a part, after cutting it there or over what is there.
    // clang-format off
    const std::tuple<int, std::size_t, std::string, bool, ZipcodeFault, std::size_t, int, int> cases[] = {
        {3, 0, "", true, missing_part, 0, 0, 0},              {1, 1, "\x04", false, wrong_load_address, 0, 0, 0},
        {2, 0, "\x01", false, wrong_load_address, 0, 0, 0},   {2, 1, "", true, cut_short, 0, 0, 0},
        {1, 3, "", true, cut_short, 0, 0, 0},                 {1, 100, "", true, cut_short, 4, 1, 0},
        {1, 263, "", true, cut_short, 262, 0, 0},             {1, 266, "", true, cut_short, 262, 1, 11},
        {2, 2, "\x48", false, track_outside_part, 2, 8, 0},   {2, 2, "\x51", false, track_outside_part, 2, 17, 0},
        {2, 3, "\x15", false, sector_outside_track, 2, 9, 21}, {2, 6, "\0"s, false, sector_twice, 5, 9, 0},
        {2, 2, "\xC9", false, unknown_method, 2, 9, 0},       {1, 269, "\xFF", false, sector_overflows, 262, 1, 11},
        {1, 269, "\x19", false, sector_short, 262, 1, 11},    {4, 524, "", true, sector_missing, 524, 35, 8},
        {1, 567, "\x06", false, sector_overflows, 331, 1, 1},  {4, 527, "\0"s, true, trailing_bytes, 527, 0, 0}};
    // clang-format on
    for (const auto& [part, at, put, cut, fault, offset, track, sector] : cases) {
        SCOPED_TRACE(testing::Message() << "part " << part << " at " << at);
        Set set = SAMPLE_SET;
        Bytes& bytes = set[part - 1];
        bytes.resize(std::max(cut ? at : bytes.size(), at + put.size()));
        std::copy(put.begin(), put.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        const ZipcodeDecoded decoded = decode(set);
        ASSERT_TRUE(decoded.problem);
        const ZipcodeProblem& p = *decoded.problem;
        EXPECT_EQ(std::tie(p.fault, p.part, p.offset, p.track, p.sector), std::tie(fault, part, offset, track, sector));
        EXPECT_TRUE(decoded.disk.image.empty());
    }
}

// Line 800 of the first program, in track 1 sector 0, becomes 2024: one
// record is coded again, and zip2disk reads the set as the changed disk.
TEST(ZipcodeSet, ANewStartLineCodesOneRecordAgain) {
    Bytes disk = SAMPLE_DISK;
    disk[6] = 0xE8;
    disk[7] = 0x07;
    const std::vector<int> changed = differing_sectors(SAMPLE_DISK, disk);
    ASSERT_EQ(changed, std::vector<int>{0});
    EXPECT_EQ(differing_sectors(disk, std::span(disk).first(D64_IMAGE_SIZE - 1)), std::vector<int>{682});
    Set expected = SAMPLE_SET;
    std::copy(disk.begin(), disk.begin() + 256, expected[0].begin() + 6); // the record is the sector as it is
    const Set after = rewritten(disk, changed);
    EXPECT_EQ(after, expected);

    if (std::system("command -v zip2disk >/dev/null") != 0)
        GTEST_SKIP() << "zip2disk is not installed (Debian: cbmconvert)";
    TempFolder folder;
    for (int p = 0; p < ZIPCODE_PARTS; ++p)
        write_file(folder / (std::to_string(p + 1) + "!set"), std::string(after[p].begin(), after[p].end()));
    ASSERT_EQ(std::system(("cd " + folder.path() + " && zip2disk set out.d64 >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(read_file(folder / "out.d64"), std::string(disk.begin(), disk.end()));
}

// Track 35 sector 16, next to last in part 4, given new bytes: so many
// values in steps of a run's length, then the first value again.
TEST(ZipcodeSet, EachCodingRoundTrips) {
    // Values, run length, method, record size.
    const std::tuple<int, int, int, std::size_t> cases[] = {
        {0, 1, 1, 3},         {100, 1, 2, 2 + 2 + 100 + 3}, {256, 4, 2, 2 + 2 + 64 * 3}, {250, 1, 2, 2 + 2 + 253},
        {251, 1, 0, 2 + 256}, {256, 1, 0, 2 + 256}};
    const int index = sector_index(D64, 35, 16);
    for (const auto& [values, run, method, size] : cases) {
        SCOPED_TRACE(testing::Message() << values << " values in runs of " << run);
        Bytes disk = SAMPLE_DISK;
        for (int i = 0; i < 256; ++i)
            disk[index * SECTOR_SIZE + i] = static_cast<unsigned char>(i < values ? i / run + 1 : 1);
        const Set after = rewritten(disk, std::vector<int>{index});
        const ZipcodeDecoded decoded = decode(after);
        EXPECT_EQ(decoded.disk.image, disk); // empty if it does not decode
        const ZipcodeRecord& record = decoded.disk.records[index];
        EXPECT_EQ(std::tuple(after[3][record.offset], record.size), std::tuple(method << 6 | 35, size));
        EXPECT_TRUE(std::equal(after.begin(), after.end() - 1, SAMPLE_SET.begin()));
    }
}

} // namespace
