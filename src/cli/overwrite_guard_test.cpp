#include "cli/overwrite_guard.h"

#include <gtest/gtest.h>

namespace {

using namespace mog;

TEST(OverwriteGuard, OnlyYesAgrees) {
    struct Case {
        int key;
        bool agrees;
    };
    const Case cases[] = {
        {'y', true},   {'Y', true},   {'n', false},  {'N', false},
        {-1, false},   {'\n', false}, {0x179, true}, // only the low eight bits count
        {0xD9, false}, {0xF9, false}, {'9', false},  {0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(key_agrees(c.key), c.agrees) << c.key;
}

} // namespace
