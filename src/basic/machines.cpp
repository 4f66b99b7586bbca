#include "mog/machines.h"

#include <algorithm>

#include "basic/ascii.h"

namespace mog {

namespace {

constexpr BasicStart C64_STARTS[] = {{0x0801, ""}};
constexpr BasicStart C128_STARTS[] = {{0x1C01, ""}, {0x4001, "with a graphics screen"}};
constexpr BasicStart VIC20_STARTS[] = {{0x1001, "unexpanded"}, {0x0401, "with 3K"}, {0x1201, "with 8K or more"}};
constexpr BasicStart PLUS4_STARTS[] = {{0x1001, ""}};
constexpr BasicStart PET_STARTS[] = {{0x0401, ""}};
constexpr BasicStart MEGA65_STARTS[] = {{0x2001, ""}};

constexpr Machine MACHINES[] = {
    {"c64", "Commodore 64", C64_STARTS},
    {"c128", "Commodore 128 in C128 mode", C128_STARTS},
    {"vic20", "VIC-20", VIC20_STARTS},
    {"plus4", "Plus/4, C16, C116", PLUS4_STARTS},
    {"pet", "PET and CBM 2001-8000", PET_STARTS},
    {"mega65", "MEGA65 and C65 in C65 mode", MEGA65_STARTS},
};

void add_starts(const Machine& machine, std::vector<unsigned>& starts) {
    for (const BasicStart& start : machine.starts)
        if (std::find(starts.begin(), starts.end(), start.address) == starts.end())
            starts.push_back(start.address);
}

} // namespace

std::span<const Machine> machines() {
    return MACHINES;
}

std::optional<Machine> machine_by_name(std::string_view name) {
    for (const Machine& machine : MACHINES)
        if (same_name_ignoring_case(name, machine.name))
            return machine;
    return std::nullopt;
}

BasicStarts basic_starts_of(std::string_view list) {
    BasicStarts result;
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        if (same_name_ignoring_case(item, ALL_MACHINES)) {
            for (const Machine& machine : MACHINES)
                add_starts(machine, result.addresses);
        } else if (std::optional<Machine> machine = machine_by_name(item)) {
            add_starts(*machine, result.addresses);
        } else {
            return BasicStarts{{}, std::string(item)};
        }
        if (comma == std::string_view::npos)
            return result;
        list.remove_prefix(comma + 1);
    }
}

std::vector<std::string_view> machines_starting_at(unsigned address) {
    std::vector<std::string_view> names(machines_starting_at(address, {}));
    machines_starting_at(address, names);
    return names;
}

std::size_t machines_starting_at(unsigned address, std::span<std::string_view> names) {
    std::size_t count = 0;
    for (const Machine& machine : MACHINES)
        for (const BasicStart& start : machine.starts)
            if (start.address == address) {
                if (count < names.size())
                    names[count] = machine.name;
                ++count;
            }
    return count;
}

} // namespace mog
