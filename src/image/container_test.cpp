#include "image/container.h"

#include <gtest/gtest.h>

namespace {

using namespace mog;

TEST(Container, ExtensionsCompareTheLastFourCharactersIgnoringCase) {
    struct Case {
        const char* first;
        const char* second;
        bool same;
    };
    const Case cases[] = {
        {"game.prg", ".prg", true},   {"GAME.PRG", ".prg", true}, {"a.Prg", "b.pRG", true}, {"game.d64", ".prg", false},
        {"game.d64", ".D64", true},   {".prg", ".prg", true},     {"prg", ".prg", false},   {"", ".prg", false},
        {"game.prgx", ".prg", false}, {"a.prg", "b.d64", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(same_extension(c.first, c.second), c.same) << c.first << " " << c.second;
}

} // namespace
