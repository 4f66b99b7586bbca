// Commodore's 8-bit machines and where their BASIC programs start: the same
// one-line SYS loader is found on all of them, at each machine's address.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mog {

// A load address at which a machine's BASIC programs start, and when.
struct BasicStart {
    unsigned address; // 0 ends a machine's list
    const char* when; // the memory layout it belongs to; empty for the usual one
};

constexpr std::size_t MAX_BASIC_STARTS = 3;

struct Machine {
    const char* name; // as --machine names it
    const char* description;
    BasicStart starts[MAX_BASIC_STARTS];
};

inline constexpr Machine MACHINES[] = {
    {"c64", "Commodore 64", {{0x0801, ""}}},
    {"c128", "Commodore 128 in C128 mode", {{0x1C01, ""}, {0x4001, "with a graphics screen"}}},
    {"vic20", "VIC-20", {{0x1001, "unexpanded"}, {0x0401, "with 3K"}, {0x1201, "with 8K or more"}}},
    {"plus4", "Plus/4, C16, C116", {{0x1001, ""}}},
    {"pet", "PET and CBM 2001-8000", {{0x0401, ""}}},
    {"mega65", "MEGA65 and C65 in C65 mode", {{0x2001, ""}}},
};

// The name that stands for every machine at once.
constexpr const char* ALL_MACHINES = "all";

// The BASIC starts of the machines a comma-separated list names (letter
// case ignored), each address once. Gives false, with the item that is no
// machine's name (an empty item included), for a bad list.
bool basic_starts_of(const char* list, std::vector<unsigned>& starts, std::string& bad_item);

// The names of the machines whose BASIC starts at the address.
std::vector<const char*> machines_starting_at(unsigned address);

// Every name --machine takes, separated by ", ".
std::string machine_names();

} // namespace mog
