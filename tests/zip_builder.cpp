#include "zip_builder.h"

#include "sources/deflate.h"

namespace {

constexpr std::uint64_t MARK = 0xFFFFFFFF;

// Each value low byte first, in as many bytes as its digit in widths says.
void put(std::string& out, const char* widths, std::initializer_list<std::uint64_t> values) {
    for (auto value = values.begin(); value != values.end() && *widths != 0; ++value, ++widths)
        for (int i = 0; i < *widths - '0'; ++i)
            out += static_cast<char>(*value >> (8 * i) & 0xFF);
}

} // namespace

std::string deflated(const std::string& content, int level) {
    mog::Bytes bytes;
    mog::deflate_raw(span_of(content), level, bytes);
    return text_of(bytes);
}

std::string zip_of(const std::vector<ZipEntry>& entries, const ZipLayout& layout) {
    std::string out = layout.prefix;
    std::string directory;
    for (const ZipEntry& e : entries) {
        const std::string data = e.method == 8 ? deflated(e.content) : e.content;
        const std::uint32_t crc = mog::crc32_of(span_of(e.content)) ^ e.crc_flip;
        const std::uint64_t size = e.recorded_size != 0 ? e.recorded_size : e.content.size();
        const std::uint64_t offset = out.size() - layout.prefix.size();
        const bool later = e.descriptor != 0;
        // A local header leaves its values to the descriptor; ZIP64 values
        // are in the extra fields, the central record's with the offset.
        std::string local_extra = e.extra;
        std::string central_extra = e.extra;
        put(local_extra, e.zip64 ? "2288" : "", {1, 16, size, data.size()});
        put(central_extra, e.zip64 ? "22888" : "", {1, 24, size, data.size(), offset});
        const std::uint64_t local_zero = later ? 0 : 1;
        put(out, "4222444422",
            {0x04034B50, e.zip64 ? 45u : 20u, e.flags | (later ? 8 : 0), e.method, 0x58215C4A, crc * local_zero,
             e.zip64 ? MARK : data.size() * local_zero, e.zip64 ? MARK : size * local_zero, e.name.size(),
             local_extra.size()});
        out += e.name + local_extra + data;
        put(out, e.descriptor == 16 ? "4" : "", {0x08074B50});
        put(out, later ? "444" : "", {crc, data.size(), size});
        out += layout.padding;
        put(directory, "422224444222224",
            {0x02014B50, 0x031E, e.zip64 ? 45u : 20u, e.flags | (later ? 8 : 0), e.method, 0x58215C4A, crc,
             e.zip64 ? MARK : data.size(), e.zip64 ? MARK : size, e.name.size(), central_extra.size(), e.comment.size(),
             0, 0, 0});
        put(directory, "4", {e.zip64 ? MARK : offset});
        directory += e.name + central_extra + e.comment;
    }
    const std::uint64_t directory_offset = out.size() - layout.prefix.size();
    const std::uint64_t count = entries.size();
    out += directory;
    put(out, layout.zip64 ? "4844488884484" : "",
        {0x06064B50, 44, 0x002D002D, 0, 0, count, count, directory.size(), directory_offset, 0x07064B50, 0,
         directory_offset + directory.size(), 1});
    const std::uint64_t count16 = layout.zip64 ? 0xFFFF : count & 0xFFFF;
    put(out, "42222442",
        {0x06054B50, layout.disk, layout.disk, count16, count16, directory.size(),
         layout.zip64 ? MARK : directory_offset, layout.comment.size()});
    return out + layout.comment;
}
