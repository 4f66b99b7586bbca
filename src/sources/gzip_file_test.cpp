#include "sources/gzip_file.h"

#include <gtest/gtest.h>

#include <string>

#include "sources/deflate.h"
#include "zip_builder.h"

namespace {

using namespace mog;

const std::string CONTENT = "C64 DISK IMAGE, C64 DISK IMAGE, C64 DISK IMAGE";

// gzip's fields in order: flags, MTIME, XFL, OS, then each optional part.
std::string header_of(char flags, char extra_flags = 2, char method = 8) {
    std::string header = {'\x1F', '\x8B', method, flags, '\x78', '\x56', '\x34', '\x12', extra_flags, '\x03'};
    if (flags & GZIP_FLAG_EXTRA)
        header += std::string("\x04\x00"
                              "AB\x00\x01",
                              6);
    if (flags & GZIP_FLAG_NAME)
        header += std::string("game.d64\0", 9);
    if (flags & GZIP_FLAG_COMMENT)
        header += std::string("by ../me\0", 9);
    if (flags & GZIP_FLAG_HEADER_CRC) {
        const std::uint32_t crc = crc32_of(span_of(header));
        header += {static_cast<char>(crc & 0xFF), static_cast<char>(crc >> 8 & 0xFF)};
    }
    return header;
}

std::string deflated(const std::string& content, int level = 6) {
    Bytes bytes;
    deflate_raw(span_of(content), level, bytes);
    return {bytes.begin(), bytes.end()};
}

std::string trailer_of(std::uint32_t crc, std::uint32_t size) {
    std::string trailer;
    for (const std::uint32_t value : {crc, size})
        for (int i = 0; i < 4; ++i)
            trailer += static_cast<char>(value >> (8 * i) & 0xFF);
    return trailer;
}

std::string gzip_of(const std::string& header, const std::string& content = CONTENT) {
    return header + deflated(content) + trailer_of(crc32_of(span_of(content)), content.size());
}

TEST(Gzip, ReadsOneMemberAndRefusesTheRest) {
    const char all = GZIP_FLAG_TEXT | GZIP_FLAG_HEADER_CRC | GZIP_FLAG_EXTRA | GZIP_FLAG_NAME | GZIP_FLAG_COMMENT;
    const std::string body = deflated(CONTENT);
    const std::string good = gzip_of(header_of(all));
    std::string wrong_header_crc = good;
    wrong_header_crc[header_of(all).size() - 1] ^= 1;
    struct Case {
        const char* label;
        std::string file;
        GzipReadResult result;
        std::string content = ""; // given for ok and crc_mismatch only
    };
    const Case cases[] = {
        {"every field", good, GzipReadResult::ok, CONTENT},
        {"empty content", gzip_of(header_of(0), ""), GzipReadResult::ok},
        {"empty file", "", GzipReadResult::not_gzip},
        {"a zip", "PK\x03\x04", GzipReadResult::not_gzip},
        {"magic only", "\x1F\x8B\x08", GzipReadResult::corrupt},
        {"another method", gzip_of(header_of(0, 0, 7)), GzipReadResult::unsupported},
        {"reserved flag", gzip_of(header_of(0x20)), GzipReadResult::unsupported},
        {"name without end", header_of(GZIP_FLAG_NAME).substr(0, 14), GzipReadResult::corrupt},
        {"header CRC wrong", wrong_header_crc, GzipReadResult::corrupt},
        {"trailer cut", good.substr(0, good.size() - 1), GzipReadResult::corrupt},
        {"stream cut", header_of(0) + body.substr(0, 5), GzipReadResult::corrupt},
        {"CRC wrong", header_of(0) + body + trailer_of(1, CONTENT.size()), GzipReadResult::crc_mismatch, CONTENT},
        {"size wrong", header_of(0) + body + trailer_of(crc32_of(span_of(CONTENT)), 1), GzipReadResult::corrupt},
        {"two members", good + good, GzipReadResult::several_members},
        {"bytes after", good + "junk", GzipReadResult::trailing_bytes},
        {"over the limit", gzip_of(header_of(0), std::string(101, 'x')), GzipReadResult::too_large},
    };
    for (const Case& c : cases) {
        Bytes content = {'x'};
        EXPECT_EQ(read_gzip(span_of(c.file), content, 100).result, c.result) << c.label;
        EXPECT_EQ(std::string(content.begin(), content.end()), c.content) << c.label;
    }
    Bytes content;
    const GzipHeader header = read_gzip(span_of(good), content, 100).header;
    EXPECT_EQ(header.flags, static_cast<unsigned>(all));
    EXPECT_EQ(header.mtime, 0x12345678u);
    EXPECT_EQ(header.extra_flags, 2u);
    EXPECT_EQ(header.os, 3u);
    EXPECT_EQ(header.name, "game.d64");
    EXPECT_EQ(header.comment, "by ../me");
    EXPECT_EQ(header.size, header_of(all).size());
}

// The header stays byte for byte, its CRC put right; the level follows XFL.
TEST(Gzip, WritesNewContentUnderTheSameHeader) {
    const char all = GZIP_FLAG_HEADER_CRC | GZIP_FLAG_EXTRA | GZIP_FLAG_NAME | GZIP_FLAG_COMMENT;
    const std::string changed = varied_text();
    for (const auto& [extra_flags, level] : {std::pair{'\x02', 9}, {'\x04', 1}, {'\x00', 6}}) {
        const std::string header = header_of(all, extra_flags);
        std::string original = gzip_of(header);
        original[header.size() - 2] ^= 0x55; // a wrong header CRC is put right
        Bytes out;
        ASSERT_EQ(write_gzip(span_of(original), span_of(changed), out), GzipWriteResult::ok);
        EXPECT_EQ(std::string(out.begin(), out.end()),
                  header + deflated(changed, level) + trailer_of(crc32_of(span_of(changed)), changed.size()));
        Bytes content;
        EXPECT_EQ(read_gzip(out, content, changed.size()).result, GzipReadResult::ok);
    }
    Bytes out = {'x'};
    EXPECT_EQ(write_gzip(span_of("PK\x03\x04"), span_of(changed), out), GzipWriteResult::unreadable_header);
    EXPECT_TRUE(out.empty());
}

} // namespace
