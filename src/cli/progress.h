// A progress line for long batches, on a terminal only.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace mog {

struct Progress {
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_at{};
    bool on_terminal = false; // standard error is a terminal
};

// A progress that shows only when standard error is a terminal.
Progress start_progress();

// Shows the files done of the total and the name of the next one, once the
// batch has run for about a second, at most a few times a second. Other
// text printed to a terminal takes its place.
void show_progress(Progress& progress, std::size_t done, std::size_t total, const std::string& name);

} // namespace mog
