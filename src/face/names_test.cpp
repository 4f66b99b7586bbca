#include "mog/names.h"

#include <gtest/gtest.h>

namespace {

using namespace mog;

// What a run writes by default, and how a folder search knows it again.
TEST(Names, DefaultsAndEarlierOutputs) {
    struct Case {
        const char* source;
        const char* destination;
    };
    const Case defaults[] = {
        {"game.prg", "game.out.prg"},
        {"game.D81", "game.out.d81"},
        {"a/b.c.T64", "a/b.c.out.t64"},
        {".p07", ".out.p07"},
    };
    for (const auto& c : defaults)
        EXPECT_EQ(default_destination(c.source), c.destination) << c.source;
    struct Named {
        const char* name;
        bool output;
    };
    const Named names[] = {
        {"game.out.d64", true}, {"GAME.OUT.D64", true}, {".out.d64", true},  {"out.d64", false},
        {"gameout.d64", false}, {"game.d64", false},    {"game.out", false}, {"", false},
    };
    for (const auto& n : names)
        EXPECT_EQ(named_like_output(n.name), n.output) << n.name;
}

} // namespace
