#include "cli/progress.h"

#include "cli/console.h"

namespace mog {

namespace {

constexpr auto FIRST_SHOWN_AFTER = std::chrono::seconds(1);
constexpr auto SHOWN_EVERY = std::chrono::milliseconds(100);
constexpr std::size_t MAX_NAME_SHOWN = 50;

} // namespace

Progress start_progress() {
    Progress progress;
    progress.on_terminal = on_terminal(stderr);
    return progress;
}

void show_progress(Progress& progress, std::size_t done, std::size_t total, const std::string& name) {
    if (!progress.on_terminal)
        return;
    auto now = std::chrono::steady_clock::now();
    if (now - progress.started < FIRST_SHOWN_AFTER || now - progress.shown_at < SHOWN_EVERY)
        return;
    progress.shown_at = now;
    // The end of a long name tells most.
    std::size_t cut = name.size() > MAX_NAME_SHOWN ? name.size() - MAX_NAME_SHOWN : 0;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 sequence
    std::string shown = cut > 0 ? "..." + name.substr(cut) : name;
    show_status_line(formatted("[%llu/%llu] %s", static_cast<unsigned long long>(done),
                               static_cast<unsigned long long>(total), shown_name(stderr, shown).c_str()));
}

} // namespace mog
