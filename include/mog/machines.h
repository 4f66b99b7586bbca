// Commodore's 8-bit machines and where their BASIC programs start: the same
// one-line SYS loader is found on all of them, at each machine's address.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mog {

// A load address at which a machine's BASIC programs start, and when.
struct BasicStart {
    unsigned address;
    std::string_view when; // the memory layout it belongs to; empty for the usual one
};

struct Machine {
    std::string_view name; // as --machine names it: "c64", "c128", ...
    std::string_view description;
    std::span<const BasicStart> starts;
};

// Every machine, the C64 first.
std::span<const Machine> machines();

// The machine of the name, letter case ignored; nothing for another name.
std::optional<Machine> machine_by_name(std::string_view name);
std::optional<Machine> machine_by_name(std::nullptr_t) = delete;

// The name that stands for every machine at once in a list.
constexpr std::string_view ALL_MACHINES = "all";

// The BASIC starts of the machines a comma-separated list names (letter
// case ignored, "all" for every machine), each address once; or the first
// item that names no machine (an empty one included).
struct BasicStarts {
    std::vector<unsigned> addresses;
    std::optional<std::string> unknown_item; // set for a bad list, which gives no addresses
};
BasicStarts basic_starts_of(std::string_view list);
BasicStarts basic_starts_of(std::nullptr_t) = delete;

// The names of the machines whose BASIC starts at the address.
std::vector<std::string_view> machines_starting_at(unsigned address);
// The same names written into `names` as far as they fit; gives how many
// there are, which may be more.
std::size_t machines_starting_at(unsigned address, std::span<std::string_view> names);

} // namespace mog
