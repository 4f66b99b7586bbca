// Any argument list through the argument walk and the checks after it.
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/run_options.h"
#include "harness.h"

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
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    start_run(nullptr, 0);
    try {
        CommandLine line = walk_arguments(static_cast<int>(words.size()), argv.data());
        check_command_line(line);
        // A command line that passes every check is consistent.
        FUZZ_CHECK(line.source != nullptr);
        FUZZ_CHECK(!(run_options.view && run_options.interactive));
        FUZZ_CHECK(!(run_options.view && run_options.line_number_given));
        FUZZ_CHECK(same_extension(line.source, line.kind == SourceKind::prg ? ".prg" : ".d64"));
        if (!run_options.view)
            FUZZ_CHECK(line.destination != nullptr && same_extension(line.source, line.destination));
        if (run_options.line_number_given)
            FUZZ_CHECK(line.line_number >= 0 && line.line_number <= 65535);
        FUZZ_CHECK(!(line.kind == SourceKind::prg && run_options.interactive));
    } catch (const ProcessEnded& ended) {
        FUZZ_CHECK(ended.status == 0 || ended.status == 1);
    }
    return 0;
}
