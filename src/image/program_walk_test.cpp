#include "mog/walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/disk_format.h"
#include "image_builder.h"

namespace {

using namespace mog;

// The bytes of the first program's file from the offset on, as many as asked.
std::string file_bytes(const char* name, std::string& container, std::size_t offset, std::size_t count) {
    std::span<unsigned char> bytes(reinterpret_cast<unsigned char*>(container.data()), container.size());
    ProgramWalk walk = start_program_walk(*container_for_name(name), bytes);
    std::optional<Program> program = next_program(walk);
    EXPECT_TRUE(program);
    std::string into(count, '\0');
    std::size_t copied = program ? read_program_file(walk, *program, offset,
                                                     std::span(reinterpret_cast<unsigned char*>(into.data()), count))
                                 : 0;
    return into.substr(0, copied);
}

std::string disk_with_chain(const std::vector<std::pair<int, int>>& links, int last_byte) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "CHAIN");
    for (std::size_t k = 0; k < links.size(); ++k) {
        const int sector = static_cast<int>(k);
        // Each sector's data is its number repeated, after the load address in the first.
        put_program(image, 17, sector, std::string(254, static_cast<char>('a' + k)));
        link_sector(image, 17, sector, links[k].first, links[k].second);
    }
    if (!links.empty() && links.back().first == 0)
        link_sector(image, 17, static_cast<int>(links.size()) - 1, 0, last_byte);
    return image;
}

// A program's file is read as a PRG holds it, whatever holds it: one piece,
// behind a header, without its load address on a tape, or along a chain of
// sectors on a disk, whose every link is checked.
TEST(ProgramWalk, FilesAreReadAsAPrgHoldsThem) {
    std::string prg = "\x01\x08"
                      "ABCDEFG";
    std::string p00 = std::string("C64File\0NAME\xa0\xa0\xa0\xa0\xa0\xa0\xa0\xa0\xa0\xa0\xa0\xa0\0\0", 26) + prg;
    std::string tape = tape_image({{1, 0x0801, "ONE", "ABCDEFG"}});
    std::string two_entries = tape_image({{1, 0x0801, "ONE", "ABCDEFG"}, {1, 0x0801, "TWO", "HIJK"}});
    std::string chain = disk_with_chain({{17, 1}, {17, 2}, {0, 0}}, 11);
    std::string loop = disk_with_chain({{17, 1}, {17, 0}}, 0);
    std::string broken = disk_with_chain({{99, 0}}, 0);
    std::string cut_short = disk_with_chain({{17, 1}, {0, 0}}, 1);
    struct Case {
        const char* label;
        const char* name;
        std::string* container;
        std::size_t offset, count;
        std::string expected;
    };
    const Case cases[] = {
        {"prg from its start", "x.prg", &prg, 0, 4,
         "\x01\x08"
         "AB"},
        {"prg to its end", "x.prg", &prg, 7, 9, "FG"},
        {"prg beyond its end", "x.prg", &prg, 9, 1, ""},
        {"p00 behind its header", "x.p00", &p00, 1, 3,
         "\x08"
         "AB"},
        {"tape: the load address first", "x.t64", &tape, 0, 3,
         "\x01\x08"
         "A"},
        {"tape: its data", "x.t64", &tape, 6, 5, "EFG"},
        {"tape: up to the next entry's data", "x.t64", &two_entries, 2, 9, "ABCDEFG"},
        {"disk: the first sector", "x.d64", &chain, 0, 2, "aa"},
        {"disk: across two sectors", "x.d64", &chain, 252, 4, "aabb"},
        {"disk: the last sector as far as its link says", "x.d64", &chain, 508, 20, std::string(10, 'c')},
        {"disk: a loop is followed as far as asked", "x.d64", &loop, 254 * 101, 3, "bbb"},
        {"disk: but no further than the disk has sectors", "x.d64", &loop,
         254 * static_cast<std::size_t>(total_sectors(D64)), 3, ""},
        {"disk: a loop's last sector read is the disk's last", "x.d64", &loop,
         254 * static_cast<std::size_t>(total_sectors(D64) - 1), 256,
         std::string(254, total_sectors(D64) % 2 == 1 ? 'a' : 'b')},
        {"disk: a broken link ends the file", "x.d64", &broken, 250, 10, "aaaa"},
        {"disk: a last sector that holds nothing", "x.d64", &cut_short, 254, 3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(file_bytes(c.name, *c.container, c.offset, c.count), c.expected) << c.label;
}

// What a container stores about a program before its start line: the load
// address as soon as two bytes hold it, and the name without its padding.
TEST(ProgramWalk, LoadAddressAndNameAsStored) {
    struct Case {
        const char* label;
        const char* name;
        std::string bytes;
        bool has_load_address;
        std::size_t name_length;
    };
    const std::string pc64_name = std::string("C64File\0GAME", 12) + std::string(14, '\0');
    const std::vector<Case> cases = {
        {"prg of one byte", "x.prg", std::string("\x01", 1), false, 0},
        {"prg of a load address alone", "x.prg", std::string("\x01\x08", 2), true, 0},
        {"p00 padded with zero bytes, as PC64 pads", "x.p00", pc64_name + "\x01\x08", true, 4},
        {"p00 padded with shifted blanks, as cbmconvert pads", "x.p00",
         std::string("C64File\0GAME", 12) + std::string(12, '\xA0') + std::string(2, '\0') + "\x01\x08", true, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string bytes = c.bytes;
        ProgramWalk walk = start_program_walk(*container_for_name(c.name),
                                              std::span(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()));
        std::optional<Program> program = next_program(walk);
        ASSERT_TRUE(program);
        EXPECT_EQ(program->has_load_address, c.has_load_address);
        if (c.has_load_address) {
            EXPECT_EQ(program->load_address, 0x0801u);
        }
        EXPECT_EQ(program->name_length, c.name_length);
    }
}

// A program of another walk, which may lie beyond this walk's bytes, reads
// nothing.
TEST(ProgramWalk, AProgramOfAnotherWalkReadsNothingBeyondTheBytes) {
    std::string image = blank_image();
    put_entry(image, 18, 1, 0, FILE_PRG, 35, 16, "LAST");
    put_program(image, 35, 16, sys_program(10));
    std::span<unsigned char> bytes(reinterpret_cast<unsigned char*>(image.data()), image.size());
    ProgramWalk whole = start_program_walk(*container_for_name("x.d64"), bytes);
    std::optional<Program> last = next_program(whole);
    ASSERT_TRUE(last);
    ProgramWalk cut = start_program_walk(*container_for_name("x.d64"), bytes.first(sector_offset(18, 2)));
    unsigned char into[4];
    EXPECT_EQ(read_program_file(cut, *last, 0, into), 0u);
    std::string tape = tape_image({{1, 0x0801, "ONE", "ABCDEFG"}});
    ProgramWalk short_tape =
        start_program_walk(*container_for_name("x.t64"), std::span(reinterpret_cast<unsigned char*>(tape.data()), 70));
    EXPECT_EQ(read_program_file(short_tape, *last, 3, into), 0u);
}

// A walk that has nothing to walk reads nothing.
TEST(ProgramWalk, NothingToWalkReadsNothing) {
    ProgramWalk walk;
    unsigned char into[4];
    EXPECT_EQ(read_program_file(walk, Program{}, 0, into), 0u);
    EXPECT_FALSE(next_program(walk));
    EXPECT_EQ(walk.container(), Container{});
    EXPECT_TRUE(walk.bytes().empty());
}

} // namespace
