#include "mog/pass.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "image/disk_format.h"
#include "image_builder.h"
#include "sda_builder.h"

namespace {

using namespace mog;

void put(std::vector<unsigned char>& image, std::size_t at, const std::string& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

const std::string START_LINE("\x01\x08\x0b\x08\x0a\x00\x9e"
                             "2061\0",
                             12);

Container named(const char* name) {
    std::optional<Container> container = container_for_name(name);
    EXPECT_TRUE(container);
    return container.value_or(Container{});
}

// A directory at 18/1 whose entries point at each other's sectors and beyond.
std::vector<unsigned char> crowded_disk() {
    std::vector<unsigned char> image(D64_IMAGE_SIZE);
    put(image, track_offset(D64, 18, 0), "\x12\x01");
    const std::size_t directory = track_offset(D64, 18, 1);
    const char* entries[] = {
        "\x82\x11\x00"
        "A", // 17/0: start line
        "\x82\x11\x01"
        "B", // 17/1: loads at $1C01
        "\x82\x23\x10"
        "C", // 35/16: last sector, start line
        "\x81\x24\x00"
        "D", // 36/0: beyond the image
    };
    for (std::size_t k = 0; k < std::size(entries); ++k)
        put(image, directory + 32 * k + 2, std::string(entries[k], 4));
    put(image, directory + 32 * 4 + 2,
        std::string("\x00\x11\x00"
                    "E",
                    4)); // empty slot
    put(image, track_offset(D64, 17, 0) + 2, START_LINE);
    put(image, track_offset(D64, 17, 1) + 2,
        std::string("\x01\x1c\x0b\x1c\x0a\x00\x9e"
                    "7169\0",
                    12));
    put(image, track_offset(D64, 35, 16) + 2, START_LINE);
    return image;
}

std::vector<std::size_t> changed_bytes(const std::vector<unsigned char>& before,
                                       const std::vector<unsigned char>& after) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            changed.push_back(i);
    return changed;
}

TEST(ProgramPass, RewriteChangesOnlyLineNumbersOfStartLines) {
    std::vector<unsigned char> image = crowded_disk();
    const std::vector<unsigned char> original = image;
    PassRequest request;
    request.each = Decision{Action::set, 0x1234};
    PassResult result = run_pass(named("x.d64"), image, request);

    const std::size_t a = track_offset(D64, 17, 0) + 6, c = track_offset(D64, 35, 16) + 6;
    EXPECT_EQ(changed_bytes(original, image), (std::vector<std::size_t>{a, a + 1, c, c + 1}));
    EXPECT_EQ(image[a], 0x34);
    EXPECT_EQ(image[a + 1], 0x12);
    EXPECT_EQ(result.changed(), 2u);
    EXPECT_EQ(result.failure, PassFailure::none);
    EXPECT_TRUE(result.notices.empty());

    struct Expected {
        char name;
        bool start_line;
        bool has_load_address;
        unsigned load_address;
        unsigned char file_type;
    };
    const Expected expected[] = {
        {'A', true, true, 0x0801, 0x82},
        {'B', false, true, 0x1C01, 0x82},
        {'C', true, true, 0x0801, 0x82},
        {'D', false, false, 0, 0x81},
    };
    ASSERT_EQ(result.programs.size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const ProgramRecord& program = result.programs[k];
        SCOPED_TRACE(expected[k].name);
        EXPECT_EQ(program.index, k);
        EXPECT_EQ(program.name[0], expected[k].name);
        EXPECT_EQ(program.name_size, 16u);
        EXPECT_EQ(program.start_line, expected[k].start_line);
        EXPECT_TRUE(program.sys_token == expected[k].has_load_address);
        EXPECT_EQ(program.has_load_address, expected[k].has_load_address);
        EXPECT_EQ(program.load_address, expected[k].load_address);
        EXPECT_EQ(program.file_type, expected[k].file_type);
        EXPECT_EQ(program.written, expected[k].start_line);
        if (program.start_line) {
            EXPECT_EQ(program.line, 10u);
            EXPECT_EQ(program.new_line, 0x1234u);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data() + program.text_offset), program.text_size),
                      "2061");
        }
    }
}

// Asked in walk order, each answer is the decision for its program; a
// program asked about sees what earlier answers wrote into a shared sector.
TEST(ProgramPass, AnswersDecideProgramByProgram) {
    std::vector<unsigned char> image = crowded_disk();
    put(image, track_offset(D64, 18, 1) + 32 * 2 + 3, std::string("\x11\x00", 2)); // C shares A's sector
    std::vector<unsigned> asked;
    PassRequest request;
    request.each = Decision{Action::set, 1};
    request.ask = [&asked](const ProgramRecord& program) {
        asked.push_back(program.line);
        return asked.size() == 1 ? Decision{Action::set, 500} : Decision{Action::keep};
    };
    PassResult result = run_pass(named("x.d64"), image, request);
    // C's question shows what A's answer left; C's record shows the number
    // before the pass and what its start line holds after it.
    EXPECT_EQ(asked, (std::vector<unsigned>{10, 500}));
    EXPECT_EQ(result.changed(), 1u);
    EXPECT_EQ(result.programs[2].shares_with, std::optional<std::size_t>(0));
    EXPECT_EQ(result.programs[2].line, 10u);
    EXPECT_TRUE(result.programs[2].written);
    EXPECT_EQ(result.programs[2].new_line, 500u);
    EXPECT_EQ(image[track_offset(D64, 17, 0) + 6], 500 & 0xFF);
}

// A look changes nothing and needs no decision.
TEST(ProgramPass, LookChangesNothing) {
    for (const char* name : {"x.d64", "x.prg"}) {
        std::vector<unsigned char> bytes =
            name[2] == 'd' ? crowded_disk() : std::vector<unsigned char>(START_LINE.begin(), START_LINE.end());
        const std::vector<unsigned char> original = bytes;
        PassResult result = run_pass(named(name), bytes, PassRequest{});
        EXPECT_EQ(bytes, original);
        EXPECT_EQ(result.changed(), 0u);
        EXPECT_EQ(result.programs.front().line, 10u);
    }
}

// The library takes no bytes it cannot walk, and no container it does not know.
TEST(ProgramPass, UnusableInputIsAnErrorValue) {
    EXPECT_EQ(run_pass(named("x.d64"), std::span<unsigned char>(static_cast<unsigned char*>(nullptr), 5), PassRequest{})
                  .failure,
              PassFailure::unusable_bytes);
    EXPECT_EQ(run_pass(Container{}, std::span<unsigned char>(), PassRequest{}).failure, PassFailure::unusable_bytes);
    EXPECT_FALSE(container_for_name("x.txt"));
    EXPECT_FALSE(container_for_name(""));
    ProgramWalk walk;
    EXPECT_EQ(run_pass(walk, PassRequest{}).failure, PassFailure::unusable_bytes);
}

// A number that two bytes cannot hold is refused before a byte is written,
// whether it is the one for every line or an answer; an answer that throws
// leaves the bytes as they were too.
TEST(ProgramPass, DecisionsOutOfRangeOrThrowingLeaveTheBytes) {
    const std::vector<unsigned char> original = crowded_disk();
    struct Case {
        const char* label;
        PassRequest request;
    };
    PassRequest every;
    every.each = Decision{Action::set, MAX_LINE_NUMBER + 1};
    PassRequest second_answer_too_high;
    second_answer_too_high.ask = [](const ProgramRecord& program) {
        return Decision{Action::set, program.index == 0 ? 7u : 70000u};
    };
    for (const auto& [label, request] : {Case{"each", every}, Case{"an answer", second_answer_too_high}}) {
        SCOPED_TRACE(label);
        std::vector<unsigned char> image = original;
        PassResult result = run_pass(named("x.d64"), image, request);
        EXPECT_EQ(result.failure, PassFailure::line_number_too_high);
        EXPECT_EQ(image, original);
        EXPECT_EQ(result.changed(), 0u);
    }
    std::vector<unsigned char> image = original;
    PassRequest throwing;
    throwing.ask = [](const ProgramRecord& program) {
        if (program.index > 0)
            throw std::runtime_error("no answer");
        return Decision{Action::set, 9};
    };
    EXPECT_THROW(run_pass(named("x.d64"), image, throwing), std::runtime_error);
    EXPECT_EQ(image, original);
    PassRequest highest;
    highest.each = Decision{Action::set, MAX_LINE_NUMBER};
    EXPECT_EQ(run_pass(named("x.d64"), image, highest).changed(), 2u);
    EXPECT_EQ(image[track_offset(D64, 17, 0) + 6], 0xFF);
    EXPECT_EQ(image[track_offset(D64, 17, 0) + 7], 0xFF);
}

// A self-dissolving archive's stub keeps its number in every container and
// whatever is asked: it tells where the archive starts. The same file with
// no valid archive header where the number points is an ordinary program.
TEST(ProgramPass, ArchiveStubsAreNeverSet) {
    const std::vector<ArchivedFile> files = {{"README", "hello", 'S'}, {"GAME", std::string(600, 'g'), 'P'}};
    const std::string sda = sda_program(9, files);
    std::string not_sda = sda;
    not_sda[3 * 254] = 3; // the header's version
    const std::string c128 = c128_sda_program(files);
    auto p00 = [](const std::string& prg) { return std::string("C64File\0ARCHIVE\0\0\0\0\0\0\0\0\0\0\0", 26) + prg; };
    auto tape = [](const std::string& prg) {
        return tape_image({{1, static_cast<unsigned>(prg[0] & 0xFF) | static_cast<unsigned>(prg[1] & 0xFF) << 8,
                            "ARCHIVE", prg.substr(2)}});
    };
    // On a disk the file runs along a chain whose sectors are not in order.
    auto disk = [](const std::string& prg) {
        std::string image = blank_image();
        put_entry(image, 18, 1, 0, FILE_PRG, 20, 3, "ARCHIVE");
        std::vector<std::pair<int, int>> chain;
        for (std::size_t k = 0; k * 254 < prg.size(); ++k)
            chain.emplace_back(k % 2 == 0 ? 20 : 21, static_cast<int>(3 + k));
        put_file(image, chain, prg);
        return image;
    };
    // On a tape a file ends where the next entry's data begins: the stub's
    // number may point beyond it, into another file.
    std::string split_tape =
        tape_image({{1, 0x0801, "STUB", sda.substr(2, 254 * 3 - 2)}, {1, 0x0801, "DATA", sda.substr(254 * 3)}});
    struct Case {
        const char* label;
        const char* name;
        std::string bytes;
        std::vector<unsigned> basic_starts;
        bool archive;
    };
    const std::vector<Case> cases = {
        {"prg", "x.prg", sda, {0x0801}, true},
        {"p00", "x.p00", p00(sda), {0x0801}, true},
        {"t64", "x.t64", tape(sda), {0x0801}, true},
        {"d64", "x.d64", disk(sda), {0x0801}, true},
        {"c128 prg", "x.prg", c128, {0x1C01}, true},
        {"c128 d64", "x.d64", disk(c128), {0x1C01}, true},
        {"no header: prg", "x.prg", not_sda, {0x0801}, false},
        {"t64: the header in the next entry's data", "x.t64", split_tape, {0x0801}, false},
        {"no header: d64", "x.d64", disk(not_sda), {0x0801}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (bool asking : {false, true}) {
            std::vector<unsigned char> bytes(c.bytes.begin(), c.bytes.end());
            const std::vector<unsigned char> original = bytes;
            PassRequest request;
            request.basic_starts = c.basic_starts;
            request.each = Decision{Action::set, 2026};
            int asked = 0;
            if (asking)
                request.ask = [&asked](const ProgramRecord&) {
                    ++asked;
                    return Decision{Action::set, 2026};
                };
            PassResult result = run_pass(named(c.name), bytes, request);
            ASSERT_FALSE(result.programs.empty());
            const ProgramRecord& program = result.programs.front();
            EXPECT_TRUE(program.start_line);
            EXPECT_EQ(program.archive == Archive::sda, c.archive);
            EXPECT_EQ(program.written, !c.archive);
            EXPECT_EQ(bytes == original, c.archive);
            EXPECT_EQ(asked, asking && !c.archive ? 1 : 0);
            EXPECT_EQ(result.failure, PassFailure::none);
        }
    }
}

} // namespace
