#include "sources/gzip_file.h"

#include <gtest/gtest.h>

#include "sources/deflate.h"
#include "zip_builder.h"

namespace {

using namespace mog;

const std::string CONTENT = "C64 DISK IMAGE, C64 DISK IMAGE, C64 DISK IMAGE";
constexpr char ALL = GZIP_FLAG_TEXT | GZIP_FLAG_HEADER_CRC | GZIP_FLAG_EXTRA | GZIP_FLAG_NAME | GZIP_FLAG_COMMENT;

// The fixed fields (flags, MTIME, XFL, OS), then the extra field, name,
// comment and header CRC that the flags ask for.
std::string header_of(char flags, char extra_flags = 2, char method = 8) {
    std::string header = {'\x1F', '\x8B', method, flags, '\x78', '\x56', '\x34', '\x12', extra_flags, '\x03'};
    const std::string parts[] = {std::string("\x04\0AB\0\x01", 6), std::string("game.d64\0", 9),
                                 std::string("by ../me\0", 9)};
    for (int part = 0; part < 3; ++part)
        header += flags & (GZIP_FLAG_EXTRA << part) ? parts[part] : "";
    const std::uint32_t crc = crc32_of(span_of(header));
    return flags & GZIP_FLAG_HEADER_CRC ? header + char(crc & 0xFF) + char(crc >> 8 & 0xFF) : header;
}

// The trailer, CRC-32 then size, and a whole file with it.
std::string trailer_of(std::uint32_t crc, std::uint32_t size) {
    std::string trailer;
    for (int i = 0; i < 8; ++i)
        trailer += static_cast<char>((i < 4 ? crc : size) >> (8 * (i % 4)) & 0xFF);
    return trailer;
}

std::string gzip_of(const std::string& header, const std::string& content = CONTENT) {
    return header + deflated(content) + trailer_of(crc32_of(span_of(content)), content.size());
}

TEST(Gzip, ReadsOneMemberAndRefusesTheRest) {
    using R = GzipReadResult;
    const std::string body = header_of(0) + deflated(CONTENT);
    const std::string good = gzip_of(header_of(ALL));
    struct Case {
        const char* label;
        std::string file;
        GzipReadResult result;
        std::string content = ""; // given for ok and crc_mismatch only
    };
    const Case cases[] = {
        {"every field", good, R::ok, CONTENT},
        {"empty content", gzip_of(header_of(0), ""), R::ok},
        {"a zip", "PK\x03\x04", R::not_gzip},
        {"magic only", "\x1F\x8B\x08", R::corrupt},
        {"another method", gzip_of(header_of(0, 0, 7)), R::unsupported},
        {"reserved flag", gzip_of(header_of(0x20)), R::unsupported},
        {"name without end", header_of(GZIP_FLAG_NAME).substr(0, 14), R::corrupt},
        {"header CRC wrong", patched(good, header_of(ALL).size() - 1, "\x01"), R::corrupt},
        {"trailer cut", good.substr(0, good.size() - 1), R::corrupt},
        {"stream cut", body.substr(0, body.size() - 1), R::corrupt},
        {"CRC wrong", body + trailer_of(1, CONTENT.size()), R::crc_mismatch, CONTENT},
        {"size wrong", body + trailer_of(crc32_of(span_of(CONTENT)), 1), R::corrupt},
        {"two members", good + good, R::several_members},
        {"bytes after", good + "junk", R::trailing_bytes},
        {"over the limit", gzip_of(header_of(0), std::string(101, 'x')), R::too_large},
    };
    for (const Case& c : cases) {
        Bytes content = {'x'};
        EXPECT_EQ(read_gzip(span_of(c.file), content, 100).result, c.result) << c.label;
        EXPECT_EQ(text_of(content), c.content) << c.label;
    }
    Bytes content;
    const GzipHeader h = read_gzip(span_of(good), content, 100).header;
    EXPECT_EQ(std::to_string(h.flags) + " " + std::to_string(h.mtime) + " " + std::to_string(h.extra_flags) + " " +
                  std::to_string(h.os) + " " + h.name + " " + h.comment + " " + std::to_string(h.size),
              "31 305419896 2 3 game.d64 by ../me " + std::to_string(header_of(ALL).size()));
}

// The header stays byte for byte, its CRC put right; the level follows XFL.
TEST(Gzip, WritesNewContentUnderTheSameHeader) {
    const std::string changed = varied_text();
    for (const auto& [extra_flags, level] : {std::pair{'\x02', 9}, {'\x04', 1}, {'\x00', 6}}) {
        const std::string header = header_of(ALL, extra_flags);
        const std::string original = patched(gzip_of(header), header.size() - 2, "\x55");
        Bytes out;
        ASSERT_EQ(write_gzip(span_of(original), span_of(changed), out), GzipWriteResult::ok);
        EXPECT_EQ(text_of(out),
                  header + deflated(changed, level) + trailer_of(crc32_of(span_of(changed)), changed.size()));
    }
    Bytes out = {'x'};
    EXPECT_EQ(write_gzip(span_of("PK\x03\x04"), span_of(changed), out), GzipWriteResult::unreadable_header);
    EXPECT_TRUE(out.empty());
}

} // namespace
