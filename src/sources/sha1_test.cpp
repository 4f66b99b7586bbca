#include "sources/sha1.h"

#include <gtest/gtest.h>

#include "zip_builder.h"

namespace {

using namespace mog;

// FIPS 180's examples, and lengths on either side of where the padding
// takes a second block.
TEST(Sha1, GivesTheFipsDigestsInHex) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1'000'000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
    };
    for (const auto& [message, digest] : cases)
        EXPECT_EQ(sha1_hex(sha1_of(span_of(message))), digest) << message.size();
    EXPECT_EQ(crc32_hex(0x0000ABCD) + crc32_hex(0xCBF43926), "0000abcdcbf43926");
}

} // namespace
