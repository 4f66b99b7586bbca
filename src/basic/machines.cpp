#include "basic/machines.h"

#include <algorithm>
#include <cstring>

namespace mog {

namespace {

bool same_name(const char* name, const char* item, std::size_t length) {
    if (std::strlen(name) != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = item[i] >= 'A' && item[i] <= 'Z' ? static_cast<char>(item[i] - 'A' + 'a') : item[i];
        if (c != name[i])
            return false;
    }
    return true;
}

void add_starts(const Machine& machine, std::vector<unsigned>& starts) {
    for (const BasicStart& start : machine.starts)
        if (start.address != 0 && std::find(starts.begin(), starts.end(), start.address) == starts.end())
            starts.push_back(start.address);
}

} // namespace

bool basic_starts_of(const char* list, std::vector<unsigned>& starts, std::string& bad_item) {
    starts.clear();
    const char* item = list;
    for (;;) {
        const char* comma = std::strchr(item, ',');
        std::size_t length = comma != nullptr ? static_cast<std::size_t>(comma - item) : std::strlen(item);
        const bool all = same_name(ALL_MACHINES, item, length);
        bool known = false;
        for (const Machine& machine : MACHINES)
            if (all || same_name(machine.name, item, length)) {
                add_starts(machine, starts);
                known = true;
            }
        if (!known) {
            bad_item.assign(item, length);
            starts.clear();
            return false;
        }
        if (comma == nullptr)
            return true;
        item = comma + 1;
    }
}

std::vector<const char*> machines_starting_at(unsigned address) {
    std::vector<const char*> names;
    for (const Machine& machine : MACHINES)
        for (const BasicStart& start : machine.starts)
            if (start.address != 0 && start.address == address)
                names.push_back(machine.name);
    return names;
}

std::string machine_names() {
    std::string names;
    for (const Machine& machine : MACHINES)
        names += std::string(machine.name) + ", ";
    return names + ALL_MACHINES;
}

} // namespace mog
