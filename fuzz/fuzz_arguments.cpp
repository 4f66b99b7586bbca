// Any argument list through the argument walk and the checks after it, and
// every argument through the terminal conversions.
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console.h"
#include "harness.h"

namespace {

void check_displays(const char* text) {
    for (Display display : {Display::bytes, Display::utf8, Display::safe_bytes}) {
        std::string shown = displayed_text(display, text);
        if (display == Display::bytes)
            FUZZ_CHECK(shown == text);
        // No control code reaches a terminal.
        if (display == Display::safe_bytes)
            for (char c : shown)
                FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        if (display == Display::utf8)
            for (char c : shown)
                FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Arguments are separated by zero bytes; the first is the tool's name.
    std::vector<std::string> words{"mog"};
    std::string current;
    for (std::size_t i = 0; i < size && words.size() < 32; ++i) {
        if (data[i] == 0) {
            words.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty())
        words.push_back(current);
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
        check_displays(word.c_str());
    }
    argv.push_back(nullptr);

    CommandLine line = walk_arguments(static_cast<int>(words.size()), argv.data());
    if (line.error != CommandLineError::none || line.request != Request::run)
        return 0;
    RunOptions& options = line.options;
    if (check_command_line(options) != CommandLineError::none)
        return 0;
    // A command line that passes every check is consistent.
    FUZZ_CHECK(options.source != nullptr);
    FUZZ_CHECK(!(options.view && options.interactive));
    FUZZ_CHECK(!(options.view && options.line_number_given));
    Container container;
    FUZZ_CHECK(container_for_name(options.source, container) && container.kind == options.container.kind &&
               container.disk == options.container.disk);
    if (!options.view)
        FUZZ_CHECK(options.destination != nullptr && same_extension(options.source, options.destination));
    if (options.line_number_given)
        FUZZ_CHECK(options.line_number >= 0 && options.line_number <= 65535);
    FUZZ_CHECK(!(holds_one_program(options.container) && options.interactive));
    return 0;
}
