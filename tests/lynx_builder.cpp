#include "lynx_builder.h"

namespace {

std::string number(std::size_t value, bool blanks, const char* after = " ") {
    const std::string digits = std::to_string(value);
    return blanks ? std::string(" ").append(digits).append(after) : digits;
}

} // namespace

LynxArchive lynx_archive(const std::vector<LynxFile>& files, const LynxLayout& layout) {
    // 10 PRINT"USE LYNX TO DISSOLVE THIS FILE":GOTO10, its link at $0801.
    const char text[] = "\x0a\x00\x99\"USE LYNX TO DISSOLVE THIS FILE\":\x89"
                        "10";
    const std::string line(text, sizeof text - 1);
    const unsigned next = 0x0801 + 2 + static_cast<unsigned>(line.size()) + 1;
    std::string stub = std::string("\x01\x08", 2) + static_cast<char>(next & 0xFF) + static_cast<char>(next >> 8) +
                       line + std::string(3, '\0');
    std::string entries;
    for (const LynxFile& file : files) {
        const std::size_t blocks = (file.bytes.size() + 253) / 254;
        std::string name = file.name;
        name.resize(16, '\xA0');
        entries += name + "\r" + number(blocks, layout.blanks, "") + "\r" + file.type + "\r";
        if (file.type == 'R')
            entries += number(1, layout.blanks) + "\r";
        entries += number(blocks == 0 ? 0 : file.bytes.size() - (blocks - 1) * 254 + 1, layout.blanks) + "\r";
    }
    const std::size_t count = layout.entry_count < 0 ? files.size() : static_cast<std::size_t>(layout.entry_count);
    const std::string counted = number(count, layout.blanks) + "\r" + entries;
    // The size is written before it is known: its digits may add a block.
    std::size_t blocks = 1;
    while (stub.size() + number(blocks, layout.blanks).size() + layout.signature.size() + 2 + counted.size() >
           blocks * 254)
        ++blocks;
    blocks += layout.directory_padding;
    const std::size_t written =
        layout.directory_blocks < 0 ? blocks : static_cast<std::size_t>(layout.directory_blocks);
    LynxArchive archive{stub + "\r" + number(written, layout.blanks) + layout.signature + "\r" + counted, {}};
    archive.bytes.resize(blocks * 254, '\0');
    for (const LynxFile& file : files) {
        archive.starts.push_back(archive.bytes.size());
        archive.bytes += file.bytes;
        if (&file != &files.back() || layout.pad_last_file)
            archive.bytes.resize(archive.starts.back() + (file.bytes.size() + 253) / 254 * 254, '\0');
    }
    return archive;
}
