#include "sources/deflate.h"

#include <gtest/gtest.h>

#include <string>

#include "zip_builder.h"

namespace {

using namespace mog;

// "hello" as Python's zlib.compressobj(wbits=-15) deflates it.
const std::string HELLO("\xCB\x48\xCD\xC9\xC9\x07\x00", 7);

TEST(Inflate, StopsAtTheLimitWhileInflating) {
    Bytes zeros;
    ASSERT_EQ(deflate_raw(span_of(std::string(10'000'000, '\0')), 9, zeros), DeflateResult::ok);
    const std::string bomb(zeros.begin(), zeros.end());
    struct Case {
        std::string compressed;
        std::size_t limit;
        InflateResult result;
        std::size_t size;
        std::size_t consumed; // on ok: up to the stream's end
    };
    const Case cases[] = {
        {HELLO, 5, InflateResult::ok, 5, 7},
        {HELLO, 4, InflateResult::too_large, 4, 0},
        {HELLO + "trailer", 5, InflateResult::ok, 5, 7},
        {HELLO.substr(0, 6), 100, InflateResult::corrupt, 5, 0}, // cut before the stream's end
        {"\xFF\xFF", 100, InflateResult::corrupt, 0, 0},         // a reserved block type
        {bomb, 10'000'000, InflateResult::ok, 10'000'000, bomb.size()},
        {bomb, 1000, InflateResult::too_large, 1000, 0},
    };
    for (const Case& c : cases) {
        Bytes into = {'x'};
        const Inflated inflated = inflate_raw(span_of(c.compressed), into, c.limit);
        EXPECT_EQ(inflated.result, c.result) << c.limit;
        EXPECT_EQ(into.size(), 1 + c.size) << c.limit; // appended
        if (c.result == InflateResult::ok) {
            EXPECT_EQ(inflated.consumed, c.consumed);
        }
    }
    // The bomb is left after a few hundred bytes of its ten thousand.
    Bytes into;
    EXPECT_LT(inflate_raw(span_of(bomb), into, 1000).consumed, bomb.size() / 10);
}

TEST(Deflate, GivesWhatInflatesBackAndTheKnownCrc) {
    const std::string text = "123456789";
    EXPECT_EQ(crc32_of(span_of(text)), 0xCBF43926u);
    EXPECT_EQ(crc32_of({}), 0u);
    for (const int level : {1, 6, 9}) {
        Bytes deflated = {'x'};
        ASSERT_EQ(deflate_raw(span_of(text + text), level, deflated), DeflateResult::ok);
        Bytes back;
        const auto stream = std::span(deflated).subspan(1);
        EXPECT_EQ(inflate_raw(stream, back, 100).consumed, stream.size());
        EXPECT_EQ(std::string(back.begin(), back.end()), text + text);
    }
}

} // namespace
