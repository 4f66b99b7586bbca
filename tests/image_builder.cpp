#include "image_builder.h"

#include <algorithm>

std::size_t sector_offset(int track, int sector) {
    std::size_t offset = 0;
    for (int t = 1; t < track; ++t)
        offset += 256 * static_cast<std::size_t>(t <= 17 ? 21 : t <= 24 ? 19 : t <= 30 ? 18 : 17);
    return offset + 256 * static_cast<std::size_t>(sector);
}

std::string blank_image(std::size_t size) {
    std::string image(size, '\0');
    link_sector(image, 18, 0, 18, 1);
    link_sector(image, 18, 1, 0, 0xFF);
    return image;
}

void link_sector(std::string& image, int track, int sector, int next_track, int next_sector) {
    std::size_t at = sector_offset(track, sector);
    image[at] = static_cast<char>(next_track);
    image[at + 1] = static_cast<char>(next_sector);
}

void put_entry(std::string& image, int track, int sector, int slot, int file_type, int file_track, int file_sector,
               const std::string& name) {
    std::size_t at = sector_offset(track, sector) + 32 * static_cast<std::size_t>(slot);
    image[at + 2] = static_cast<char>(file_type);
    image[at + 3] = static_cast<char>(file_track);
    image[at + 4] = static_cast<char>(file_sector);
    std::string padded = name.substr(0, 16);
    padded.resize(16, '\xA0');
    image.replace(at + 5, 16, padded);
}

void put_program(std::string& image, int track, int sector, const std::string& program) {
    std::size_t at = sector_offset(track, sector);
    image[at] = 0;
    image[at + 1] = static_cast<char>(program.size() + 1);
    image.replace(at + 2, program.size(), program);
}

void put_file(std::string& image, const std::vector<std::pair<int, int>>& sectors, const std::string& file) {
    for (std::size_t k = 0; k < sectors.size(); ++k) {
        const std::string part = file.substr(std::min(file.size(), k * 254), 254);
        std::size_t at = sector_offset(sectors[k].first, sectors[k].second);
        image.replace(at + 2, part.size(), part);
        if (k + 1 < sectors.size())
            link_sector(image, sectors[k].first, sectors[k].second, sectors[k + 1].first, sectors[k + 1].second);
        else
            link_sector(image, sectors[k].first, sectors[k].second, 0, static_cast<int>(part.size() + 1));
    }
}

std::string line_bytes(unsigned line_number) {
    return {static_cast<char>(line_number & 0xFF), static_cast<char>(line_number >> 8)};
}

std::string sys_program(unsigned line_number, const std::string& text, unsigned load_address) {
    std::string program;
    program += static_cast<char>(load_address & 0xFF);
    program += static_cast<char>(load_address >> 8);
    unsigned next_line = load_address + 2 + 2 + 1 + static_cast<unsigned>(text.size()) + 1;
    program += static_cast<char>(next_line & 0xFF);
    program += static_cast<char>(next_line >> 8);
    program += line_bytes(line_number);
    program += '\x9E';
    program += text;
    program += '\0';
    program += std::string("\0\0", 2); // end of the BASIC program
    program += "\xA9\x00\x60";         // the machine code behind it
    return program;
}

namespace {

void put_le(std::string& bytes, std::size_t at, unsigned long value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

std::string tape_image(const std::vector<TapeEntry>& entries, std::size_t reserved, const std::string& signature) {
    reserved = std::max(reserved, entries.size());
    std::string tape(64 + 32 * reserved, '\0');
    tape.replace(0, signature.size(), signature);
    put_le(tape, 32, 0x0100, 2);
    put_le(tape, 34, reserved, 2);
    put_le(tape, 36, entries.size(), 2);
    tape.replace(40, 24, std::string(24, ' '));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const TapeEntry& entry = entries[k];
        std::size_t at = 64 + 32 * k;
        std::size_t offset = entry.offset >= 0 ? static_cast<std::size_t>(entry.offset) : tape.size();
        tape[at] = static_cast<char>(entry.type);
        tape[at + 1] = '\x82';
        put_le(tape, at + 2, entry.load_address, 2);
        put_le(tape, at + 4, entry.load_address + entry.data.size(), 2);
        put_le(tape, at + 8, offset, 4);
        std::string name = entry.name.substr(0, 16);
        name.resize(16, ' ');
        tape.replace(at + 16, 16, name);
        if (entry.offset < 0)
            tape += entry.data;
    }
    return tape;
}
