#include "image/lynx_walk.h"

#include <gtest/gtest.h>

#include "image_builder.h"
#include "lynx_builder.h"
#include "mog/walk.h"

namespace {

using namespace mog;

const std::vector<LynxFile> FILES = {{"ALPHA", sys_program(10)},
                                     {"EMPTY", "", 'S'},
                                     {"BETA", sys_program(1984, " 4096") + std::string(280, 'b')},
                                     {"RECORDS", std::string(254, 'r'), 'R'}}; // a full last block
const unsigned char FILE_TYPES[] = {0x82, 0x81, 0x82, 0x84};

Notice damage(NoticeKind kind, std::size_t entry) {
    return Notice{kind, 0, 0, 0, 0, entry};
}

// Each program is one file of the archive, in directory order: its name and
// type as listed, its line and its file's bytes ending with its data, never
// beyond it nor beyond the bytes.
TEST(LynxWalk, FilesAreReadAsFarAsTheLayoutAllows) {
    const LynxArchive plain = lynx_archive(FILES);
    const std::vector<std::size_t> at = plain.starts;
    const std::size_t end = plain.bytes.size(), alpha = FILES[0].bytes.size(), beta = FILES[2].bytes.size();
    std::string wrong_last_count = plain.bytes;
    wrong_last_count.replace(wrong_last_count.find(std::to_string(alpha + 1) + " \r") - 1, 5, " 300\r");
    wrong_last_count.replace(wrong_last_count.find("S\r 0 \r"), 6, "S\r 9 \r"); // EMPTY's
    std::string elsewhere = plain.bytes;
    elsewhere[1] = 0x1C;
    struct Case {
        const char* label;
        std::string bytes;
        std::vector<std::pair<std::size_t, std::size_t>> files; // where each program's data begins and ends
        std::vector<Notice> notices;
    };
    auto as_written = [](const LynxArchive& archive) {
        std::vector<std::pair<std::size_t, std::size_t>> files;
        for (std::size_t k = 0; k < FILES.size(); ++k)
            files.emplace_back(archive.starts[k], archive.starts[k] + FILES[k].bytes.size());
        return files;
    };
    const LynxArchive bare = lynx_archive(FILES, {false, "*LYNX XV BY WILL CORLEY"});
    const LynxArchive padded = lynx_archive(FILES, {true, " *LYNX*", -1, -1, 1, true});
    const std::vector<Case> cases = {
        {"as cbmconvert writes", plain.bytes, as_written(plain), {}},
        {"numbers without blanks", bare.bytes, as_written(bare), {}},
        {"padded directory and last file", padded.bytes, as_written(padded), {}},
        {"cut inside a file",
         plain.bytes.substr(0, at[2] + 100),
         {{at[0], at[0] + alpha}, {at[1], at[1]}, {at[2], at[2] + 100}, {at[2] + 100, at[2] + 100}},
         {damage(NoticeKind::lynx_cut, 3)}},
        {"more entries counted than the directory holds",
         lynx_archive(FILES, {true, " *LYNX*", 5}).bytes,
         as_written(plain),
         {damage(NoticeKind::lynx_unreadable, 5)}},
        {"directory size 0",
         lynx_archive(FILES, {true, " *LYNX*", -1, 0}).bytes,
         {},
         {damage(NoticeKind::lynx_unreadable, 1)}},
        {"directory size beyond the end",
         lynx_archive(FILES, {true, " *LYNX*", -1, 9}).bytes,
         {{end, end}, {end, end}, {end, end}, {end, end}},
         {damage(NoticeKind::lynx_cut, 1)}},
        {"last-block counts beyond a block and of an empty file",
         wrong_last_count,
         {{at[0], at[0] + 254}, {at[1], at[1]}, {at[2], at[2] + beta}, {at[3], at[3] + 254}},
         {damage(NoticeKind::lynx_sizes_disagree, 1), damage(NoticeKind::lynx_sizes_disagree, 2)}},
        {"no signature", lynx_archive(FILES, {true, " *SYNX ARCHIVE*"}).bytes, {}, {Notice{NoticeKind::not_lynx}}},
        {"an Atari Lynx ROM image",
         std::string("LYNX\0\x02\x01\x00", 8) + plain.bytes,
         {},
         {Notice{NoticeKind::not_lynx}}},
        {"a program", sys_program(10), {}, {Notice{NoticeKind::not_lynx}}},
        {"a signature apart from the stub", sys_program(10) + "1 LYNX\r0\r", {}, {Notice{NoticeKind::not_lynx}}},
        {"a stub at $1C01", elsewhere, {}, {Notice{NoticeKind::not_lynx}}},
        {"the stub alone", plain.bytes.substr(0, 40), {}, {Notice{NoticeKind::not_lynx}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::string bytes = c.bytes;
        const auto* first = reinterpret_cast<unsigned char*>(bytes.data());
        ProgramWalk walk = start_program_walk(*container_for_name("x.LNX"),
                                              std::span(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()));
        std::size_t k = 0;
        for (; std::optional<Program> program = next_program(walk); ++k) {
            ASSERT_LT(k, c.files.size());
            const auto [start, stop] = c.files[k];
            EXPECT_EQ(std::string(program->name.begin(), program->name.begin() + program->name_length), FILES[k].name);
            EXPECT_EQ(program->file_type, FILE_TYPES[k]);
            EXPECT_EQ(program->origin, start);
            EXPECT_EQ(program->line.data() + program->line.size(), first + stop);
            std::string file(600, '\0');
            file.resize(read_program_file(walk, *program, 0,
                                          std::span(reinterpret_cast<unsigned char*>(file.data()), file.size())));
            EXPECT_EQ(file, bytes.substr(start, stop - start));
        }
        EXPECT_EQ(k, c.files.size());
        EXPECT_EQ(walk.notices(), c.notices);
    }
}

} // namespace
