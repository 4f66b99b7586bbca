#include "sources/deflate.h"

#include <gtest/gtest.h>

#include "zip_builder.h"

namespace {

using namespace mog;

TEST(Inflate, StopsAtTheLimitWhileInflating) {
    const std::string hello("\xCB\x48\xCD\xC9\xC9\x07\x00", 7); // as Python's zlib deflates it
    Bytes zeros;
    ASSERT_EQ(deflate_raw(span_of(std::string(10'000'000, '\0')), 9, zeros), DeflateResult::ok);
    const std::string bomb(zeros.begin(), zeros.end());
    struct Case {
        std::string compressed;
        std::size_t limit;
        InflateResult result;
        std::size_t size;
        std::size_t consumed; // up to the stream's end, or at most this when it stopped early
    };
    const Case cases[] = {
        {hello, 5, InflateResult::ok, 5, 7},
        {hello, 4, InflateResult::too_large, 4, 7},
        {hello + "trailer", 5, InflateResult::ok, 5, 7},
        {hello.substr(0, 6), 100, InflateResult::corrupt, 5, 6}, // cut before the stream's end
        {"\xFF\xFF", 100, InflateResult::corrupt, 0, 2},         // a reserved block type
        {bomb, 10'000'000, InflateResult::ok, 10'000'000, bomb.size()},
        {bomb, 1000, InflateResult::too_large, 1000, bomb.size() / 10},
    };
    for (const Case& c : cases) {
        Bytes into = {'x'};
        const Inflated inflated = inflate_raw(span_of(c.compressed), into, c.limit);
        EXPECT_EQ(inflated.result, c.result) << c.limit;
        EXPECT_EQ(into.size(), 1 + c.size) << c.limit; // appended
        EXPECT_LE(inflated.consumed, c.consumed) << c.limit;
        EXPECT_GE(inflated.consumed, c.result == InflateResult::ok ? c.consumed : 0) << c.limit;
    }
}

TEST(Crc32, GivesTheCheckValue) {
    EXPECT_EQ(crc32_of(span_of("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32_of({}), 0u);
}

} // namespace
