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
        {"a.ZIP", "a.out.zip"},
        {"game.D64.GZ", "game.out.d64.gz"},
        {"1!zc", "1!zc.out"},
        {"d/2!Game.z64", "d/2!Game.out.z64"},
        {"d.x/3!a", "d.x/3!a.out"},
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
        {"a.out.zip", true},    {"g.out.d64.gz", true}, {"g.d64.gz", false}, {"1!zc.out", true},
        {"1!G.out.z64", true},  {"1!G.z64", false},     {"1!out", false},
    };
    for (const auto& n : names)
        EXPECT_EQ(named_like_output(n.name), n.output) << n.name;
}

} // namespace
