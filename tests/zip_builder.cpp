#include "zip_builder.h"

#include "sources/deflate.h"

namespace {

constexpr std::uint32_t MARK = 0xFFFFFFFF;

void put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

std::string zip64_extra(const std::vector<std::uint64_t>& values) {
    std::string extra;
    put(extra, 1, 2);
    put(extra, 8 * values.size(), 2);
    for (const std::uint64_t value : values)
        put(extra, value, 8);
    return extra;
}

} // namespace

std::string zip_of(const std::vector<ZipEntry>& entries, const ZipLayout& layout) {
    std::string out = layout.prefix;
    std::string directory;
    for (const ZipEntry& e : entries) {
        std::string data = e.content;
        if (e.method == 8) {
            mog::Bytes deflated;
            mog::deflate_raw(span_of(e.content), 6, deflated);
            data.assign(deflated.begin(), deflated.end());
        }
        const std::uint32_t crc = mog::crc32_of(span_of(e.content)) ^ e.crc_flip;
        const std::uint64_t size = e.recorded_size != 0 ? e.recorded_size : e.content.size();
        const std::uint64_t offset = out.size() - layout.prefix.size();
        const bool later = e.descriptor != 0;
        const std::string local_extra = e.extra + (e.zip64 ? zip64_extra({size, data.size()}) : "");
        const std::string central_extra = e.extra + (e.zip64 ? zip64_extra({size, data.size(), offset}) : "");
        auto header = [&](std::string& to, bool central, const std::string& extra) {
            put(to, central ? 0x02014B50 : 0x04034B50, 4);
            if (central)
                put(to, 0x031E, 2); // made by Unix, 3.0
            put(to, e.zip64 ? 45 : 20, 2);
            put(to, e.flags | (later ? 8 : 0), 2);
            put(to, e.method, 2);
            put(to, 0x58215C4A, 4); // time and date
            put(to, later && !central ? 0 : crc, 4);
            put(to, e.zip64 ? MARK : later && !central ? 0 : data.size(), 4);
            put(to, e.zip64 ? MARK : later && !central ? 0 : size, 4);
            put(to, e.name.size(), 2);
            put(to, extra.size(), 2);
        };
        header(out, false, local_extra);
        out += e.name + local_extra + data;
        if (e.descriptor == 16)
            put(out, 0x08074B50, 4);
        if (later) {
            put(out, crc, 4);
            put(out, data.size(), 4);
            put(out, size, 4);
        }
        out += layout.padding;
        header(directory, true, central_extra);
        put(directory, e.comment.size(), 2);
        put(directory, 0, 8); // disk, attributes
        put(directory, e.zip64 ? MARK : offset, 4);
        directory += e.name + central_extra + e.comment;
    }
    const std::uint64_t directory_offset = out.size() - layout.prefix.size();
    out += directory;
    if (layout.zip64) {
        const std::uint64_t end_offset = out.size() - layout.prefix.size();
        put(out, 0x06064B50, 4);
        put(out, 44, 8);
        put(out, 0x002D002D, 4);
        put(out, 0, 8); // disks
        put(out, entries.size(), 8);
        put(out, entries.size(), 8);
        put(out, directory.size(), 8);
        put(out, directory_offset, 8);
        put(out, 0x07064B50, 4);
        put(out, 0, 4);
        put(out, end_offset, 8);
        put(out, 1, 4);
    }
    put(out, 0x06054B50, 4);
    put(out, layout.disk, 2);
    put(out, layout.disk, 2);
    put(out, layout.zip64 ? 0xFFFF : entries.size() & 0xFFFF, 2);
    put(out, layout.zip64 ? 0xFFFF : entries.size() & 0xFFFF, 2);
    put(out, directory.size(), 4);
    put(out, layout.zip64 ? MARK : directory_offset, 4);
    put(out, layout.comment.size(), 2);
    return out + layout.comment;
}
