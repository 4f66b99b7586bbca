// Writes the seed corpus: images and inputs laid out by the tests' own
// builder, plus the sample files made by cc65 and cc1541.
// Usage: make_corpus <corpus folder> <samples folder>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "image/disk_format.h"
#include "image_builder.h"
#include "lynx_builder.h"

namespace {

using namespace mog;

std::string corpus;

void save(const std::string& target, const std::string& name, const std::string& bytes) {
    mkdir((corpus + "/" + target).c_str(), 0755);
    std::ofstream file(corpus + "/" + target + "/" + name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct Disk {
    std::string name;
    std::string image;
};

std::vector<Disk> damaged_disks(const std::string& sample) {
    std::string base = blank_image();
    put_entry(base, 18, 1, 0, FILE_PRG, 17, 0, "ALPHA");
    put_entry(base, 18, 1, 1, FILE_PRG, 19, 3, "BETA");
    put_entry(base, 18, 1, 2, FILE_SEQ, 20, 0, "NOTES");
    put_program(base, 17, 0, sys_program(10));
    put_program(base, 19, 3, sys_program(1984, " 4096"));
    put_program(base, 20, 0, "TEXT");

    std::vector<Disk> disks = {{"sample", sample}, {"valid", base}, {"empty_directory", blank_image()}};
    auto variant = [&](const std::string& name, auto change) {
        std::string image = base;
        change(image);
        disks.push_back({name, image});
    };
    variant("loop_to_itself", [](std::string& i) { link_sector(i, 18, 1, 18, 1); });
    variant("loop_over_two", [](std::string& i) {
        link_sector(i, 18, 1, 18, 4);
        link_sector(i, 18, 4, 18, 1);
    });
    variant("link_track_0_sector_5", [](std::string& i) { link_sector(i, 18, 1, 0, 5); });
    variant("link_track_41", [](std::string& i) { link_sector(i, 18, 1, 41, 0); });
    variant("link_sector_out_of_range", [](std::string& i) { link_sector(i, 18, 1, 18, 25); });
    variant("entry_sector_out_of_range", [](std::string& i) { put_entry(i, 18, 1, 3, FILE_PRG, 17, 21, "BAD"); });
    variant("duplicate_first_sectors", [](std::string& i) { put_entry(i, 18, 1, 3, FILE_PRG, 17, 0, "AGAIN"); });
    variant("line_without_end", [](std::string& i) {
        put_entry(i, 18, 1, 3, FILE_PRG, 1, 0, "FULL");
        i.replace(sector_offset(1, 0) + 2, 254, sys_program(3, std::string(250, '9')).substr(0, 254));
    });
    variant("truncated_in_directory", [](std::string& i) { i.resize(sector_offset(18, 1) + 40); });
    variant("truncated_before_data", [](std::string& i) { i.resize(sector_offset(18, 2)); });
    variant("error_bytes", [](std::string& i) { i.resize(IMAGE_SIZE + ERROR_BYTES_35_TRACKS, '\x01'); });
    variant("forty_tracks", [](std::string& i) {
        i.resize(IMAGE_SIZE_40_TRACKS);
        link_sector(i, 18, 1, 36, 0);
        link_sector(i, 36, 0, 0, 0xFF);
        put_entry(i, 36, 0, 0, FILE_PRG, 40, 16, "FAR");
        put_program(i, 40, 16, sys_program(40));
    });
    return disks;
}

// The same disk as records of sectors that differ from a blank image. Only
// the directory track is kept whole; other sectors keep the bytes a start
// line can use, so that a record stays short.
std::string as_sector_records(const std::string& image, int mode, int size_choice, int format_index = 0) {
    const DiskFormat& format = DISK_FORMATS[format_index];
    std::string records = {static_cast<char>(mode + 5 * format_index), static_cast<char>(size_choice), 0};
    for (int track = 1; track <= last_track(format); ++track) {
        for (int sector = 0; sector < sectors_on_track(format, track); ++sector) {
            std::size_t offset = track_offset(format, track, sector);
            if (offset >= image.size())
                continue;
            std::string bytes = image.substr(offset, track == format.anchor_track ? 255 : 32);
            std::size_t used = bytes.find_last_not_of('\0');
            if (used == std::string::npos)
                continue;
            records += static_cast<char>(track);
            records += static_cast<char>(sector);
            records += static_cast<char>(used + 1);
            records += bytes.substr(0, used + 1);
        }
    }
    return records;
}

// Tapes as the builder lays them out, sound and damaged.
std::vector<Disk> tapes(const std::string& sample) {
    const std::string alpha = sys_program(10).substr(2);
    return {
        {"sample", sample},
        {"builder", tape_image({{1, 0x0801, "ALPHA", alpha},
                                {0, 0x0801, "GONE", alpha},
                                {1, 0x1C01, "LOADER", sys_program(10, "7169", 0x1C01).substr(2)},
                                {1, 0x0801, "BETA", sys_program(1984, " 4096:REM").substr(2)}},
                               6)},
        {"offset_beyond_end", tape_image({{1, 0x0801, "FAR", "", 100000}, {1, 0x0801, "NEAR", alpha}})},
        {"line_cut", tape_image({{1, 0x0801, "CUT", alpha.substr(0, 4)}})},
        {"directory_larger_than_file", tape_image({{1, 0x0801, "ALPHA", alpha}}, 65535).substr(0, 200)},
        {"no_signature", tape_image({{1, 0x0801, "ALPHA", alpha}}, 1, "PC64 tape")},
    };
}

// A Zip-Code set as fuzz_zipcode reads it: the sizes of parts 1 to 3, then
// the four parts.
void save_zipcode_set(const std::string& folder, const std::string& name) {
    std::string sizes, parts;
    for (int part = 1; part <= 4; ++part) {
        const std::string bytes = load(folder + "/" + std::to_string(part) + "!" + name);
        sizes += {static_cast<char>(bytes.size() & 0xFF), static_cast<char>(bytes.size() >> 8)};
        parts += bytes;
    }
    save("fuzz_zipcode", name, sizes.substr(0, 6) + parts);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_corpus <corpus folder> <samples folder>\n");
        return 1;
    }
    corpus = argv[1];
    mkdir(corpus.c_str(), 0755);
    const std::string samples = argv[2];
    const std::string fixtures = samples + "/../tests/fixtures";
    const std::string sample_disk = load(samples + "/sample.d64");
    const std::string game = load(samples + "/game.prg");

    // Modes: 0 rewrite, 1 view, 2 view with blocks, 3 raw view, 4 interactive.
    const std::string answers = "12\n\nabc\n-1\n70000\n5x\r\n";
    for (const auto& disk : damaged_disks(sample_disk)) {
        save("fuzz_d64", disk.name + "_rewrite", std::string("\x00\x00", 2) + disk.image);
        save("fuzz_disk_sectors", disk.name + "_view", as_sector_records(disk.image, 1, 0));
        std::string asked = as_sector_records(disk.image, 4, 0);
        asked[2] = static_cast<char>(answers.size());
        asked.insert(3, answers);
        save("fuzz_disk_sectors", disk.name + "_interactive", asked);
    }
    // Modes as above; the format follows in steps of five.
    const std::pair<const char*, int> images[] = {
        {"cc1541.d71", 1}, {"cbmconvert.d71", 1}, {"cc1541.d81", 2}, {"cbmconvert.d81", 2}};
    for (const auto& [name, format_index] : images) {
        std::string image = load(fixtures + "/" + name);
        save("fuzz_disk_sectors", std::string(name) + "_view", as_sector_records(image, 1, 0, format_index));
        save("fuzz_disk_sectors", std::string(name) + "_rewrite", as_sector_records(image, 0, 1, format_index));
    }
    save("fuzz_disk_sectors", "sample_d81_view", as_sector_records(load(samples + "/sample.d81"), 1, 0, 2));
    for (const auto& tape : tapes(load(samples + "/sample.t64"))) {
        save("fuzz_t64", tape.name + "_rewrite", std::string("\x00\x00", 2) + tape.image);
        save("fuzz_t64", tape.name + "_view_raw", std::string("\x03\x00", 2) + tape.image);
        save("fuzz_t64", tape.name + "_interactive",
             std::string(1, '\x04') + static_cast<char>(answers.size()) + answers + tape.image);
    }
    const std::vector<LynxFile> files = {{"ALPHA", sys_program(10)}, {"EMPTY", "", 'S'},
                                         {"BETA", sys_program(1984, " 4096") + std::string(300, 'b')}, {"REL", "R", 'R'}};
    const std::string lynx = lynx_archive(files).bytes;
    const std::pair<const char*, std::string> archives[] = {
        {"cbmconvert", lynx},
        {"no_blanks", lynx_archive(files, {false, "*LYNX XV*"}).bytes},
        {"cut", lynx.substr(0, lynx.size() - 200)},
        {"count_beyond_directory", lynx_archive(files, {true, " *LYNX*", 9}).bytes}};
    for (const auto& [name, archive] : archives) {
        save("fuzz_lnx", std::string(name) + "_rewrite", std::string("\x00\x00", 2) + archive);
        save("fuzz_lnx", std::string(name) + "_interactive",
             std::string(1, '\x04') + static_cast<char>(answers.size()) + answers + archive);
    }
    save("fuzz_prg", "p00_rewrite", std::string("\x04\xE8\x07", 3) + load(fixtures + "/one.p00"));
    save("fuzz_prg", "p00_view", std::string("\x05\x00\x00", 3) + load(fixtures + "/one.p00"));
    save("fuzz_prg", "p00_loader", std::string("\x04\x01\x00", 3) + load(fixtures + "/loader.p00"));

    save("fuzz_d64", "sample_interactive",
         std::string(1, '\x04') + static_cast<char>(answers.size()) + answers + sample_disk);
    save("fuzz_d64", "sample_view_raw", std::string("\x03\x00", 2) + sample_disk);

    save_zipcode_set(fixtures + "/zipcode", "sample");

    save("fuzz_prg", "game_rewrite", std::string("\x00\xE8\x07", 3) + game);
    save("fuzz_prg", "game_view", std::string("\x01\x00\x00", 3) + game);
    save("fuzz_prg", "loads_at_1c01", std::string("\x00\x01\x00", 3) + sys_program(10, "7181", 0x1C01));
    save("fuzz_prg", "print_token", std::string("\x00\x01\x00\x01\x08\x0b\x08\x0a\x00\x99\x22\x00", 12));
    save("fuzz_prg", "header_only", std::string("\x01\x01\x00\x01\x08\x0b\x08\x0a\x00\x9e", 10));
    save("fuzz_prg", "control_codes_raw", std::string("\x03\x00\x00", 3) + sys_program(1, "\x1b[2J\x12\x5c"));

    const char* lines[] = {"\n", "\r\n", "5", "65535\n", "65536\n", "-1\n", "abc\n", "12ab\n", " 7\n\n8\n", ""};
    int n = 0;
    for (const char* line : lines)
        save("fuzz_answer", "line_" + std::to_string(n++), line);
    save("fuzz_answer", "long_line", std::string(300, '7') + "\n3\n");

    const std::vector<std::string> argument_lists = {
        std::string("game.d64"),
        std::string("-n\0"
                    "2024\0game.prg\0out.prg",
                    22),
        std::string("-v\0-a\0-o\0samples/sample.d64", 26),
        std::string("-i\0game.prg", 11),
        std::string("-n", 2),
        std::string("-n\0"
                    "99999999999999999999\0a.d64",
                    27),
        std::string("-examples\0-x", 12),
        std::string("a.prg\0b.PRG\0c.prg", 17),
        std::string("-v\0-i\0x.d64", 11),
        std::string("prg", 3),
        std::string("--batch\0-n\0--in-place\0a.d64\0b.D64\0folder", 40),
        std::string("--machine\0c64,,C128\0x.prg", 25),
        std::string("--json\0--unicode\0--check\0-n\0"
                    "1\0a.t64",
                    35),
        std::string("--in-place\0-i\0--\0-x.p01", 23),
        std::string("--check\0a.d64\0b.d64\0--machine\0all", 33),
    };
    n = 0;
    for (const auto& arguments : argument_lists)
        save("fuzz_arguments", "arguments_" + std::to_string(n++), arguments);
    return 0;
}
