#include "mog/machines.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "basic/sys_line.h"

namespace {

using namespace mog;

// Which load addresses count as BASIC starts for each --machine value.
TEST(Machines, ListsAcceptTheirMachinesAddresses) {
    const unsigned addresses[] = {0x0801, 0x1C01, 0x4001, 0x1001, 0x0401, 0x1201, 0x2001, 0x0800, 0x1C00, 0xC000};
    struct Case {
        const char* list;
        std::vector<unsigned> accepted;
    };
    const std::vector<Case> cases = {
        {"c64", {0x0801}},
        {"C128", {0x1C01, 0x4001}},
        {"vic20", {0x1001, 0x0401, 0x1201}},
        {"plus4", {0x1001}},
        {"pet", {0x0401}},
        {"Mega65", {0x2001}},
        {"pet,plus4,pet", {0x0401, 0x1001}},
        {"all", {0x0801, 0x1C01, 0x4001, 0x1001, 0x0401, 0x1201, 0x2001}},
        {"c64,ALL", {0x0801, 0x1C01, 0x4001, 0x1001, 0x0401, 0x1201, 0x2001}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        BasicStarts list = basic_starts_of(c.list);
        ASSERT_FALSE(list.unknown_item);
        const std::vector<unsigned>& starts = list.addresses;
        for (unsigned address : addresses) {
            bool accepted = std::find(c.accepted.begin(), c.accepted.end(), address) != c.accepted.end();
            unsigned char line[] = {0x0b, 0x08, 0x0a, 0x00, SYS_TOKEN};
            EXPECT_EQ(match_sys_line(SysLine{address, line, sizeof line}, starts), accepted) << std::hex << address;
        }
    }
}

TEST(Machines, BadListsNameTheirBadItem) {
    struct Case {
        const char* list;
        const char* bad;
    };
    const Case cases[] = {{"", ""},     {"c64,,c128", ""}, {"c64,", ""},    {"c65", "c65"}, {"c64,vic-20", "vic-20"},
                          {"c6", "c6"}, {"c644", "c644"},  {" c64", " c64"}};
    for (const auto& c : cases) {
        BasicStarts list = basic_starts_of(c.list);
        ASSERT_TRUE(list.unknown_item) << c.list;
        EXPECT_EQ(*list.unknown_item, c.bad) << c.list;
        EXPECT_TRUE(list.addresses.empty());
    }
}

std::vector<std::string> names_at(unsigned address) {
    std::vector<std::string> names;
    for (std::string_view name : machines_starting_at(address))
        names.emplace_back(name);
    return names;
}

TEST(Machines, AddressesNameEveryMachineStartingThere) {
    EXPECT_EQ(names_at(0x1001), (std::vector<std::string>{"vic20", "plus4"}));
    EXPECT_EQ(names_at(0x0401), (std::vector<std::string>{"vic20", "pet"}));
    EXPECT_EQ(machines_starting_at(0x0801).size(), 1u);
    EXPECT_TRUE(machines_starting_at(0x0800).empty());
    EXPECT_TRUE(machines_starting_at(0).empty());
    // Into a list too short, the names that fit and the count of all.
    std::string_view first[1];
    EXPECT_EQ(machines_starting_at(0x1001, first), 2u);
    EXPECT_EQ(first[0], "vic20");
}

// The table as other programs see it: each machine by its name, letter
// case ignored, with its BASIC starts in order.
TEST(Machines, EachMachineIsFoundByItsName) {
    struct Case {
        const char* name;
        std::vector<unsigned> starts;
    };
    const std::vector<Case> cases = {
        {"c64", {0x0801}},   {"C128", {0x1C01, 0x4001}}, {"vic20", {0x1001, 0x0401, 0x1201}},
        {"PLUS4", {0x1001}}, {"pet", {0x0401}},          {"mega65", {0x2001}},
    };
    ASSERT_EQ(machines().size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::optional<Machine> machine = machine_by_name(cases[i].name);
        ASSERT_TRUE(machine) << cases[i].name;
        EXPECT_EQ(machine->name, machines()[i].name);
        std::vector<unsigned> starts;
        for (const BasicStart& start : machine->starts)
            starts.push_back(start.address);
        EXPECT_EQ(starts, cases[i].starts) << cases[i].name;
    }
    for (const char* name : {"all", "c65", "", "c6", "c644", " c64"})
        EXPECT_FALSE(machine_by_name(name)) << name;
}

} // namespace
