// Any argument list through the argument walk and the checks after it, and
// every argument through the terminal conversions.
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console.h"
#include "harness.h"
#include "image/container.h"
#include "mog/sources.h"

using namespace mog;

namespace {

// Checked apart from the tool's own decoder: well-formed UTF-8 with no C0
// or C1 control code.
bool clean_utf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
        if (lead < 0x20 || lead == 0x7F || (lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > text.size())
            return false;
        unsigned code = lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        if ((code >= 0x80 && code < 0xA0) || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

void check_displays(const char* text) {
    for (TextOrigin origin : {TextOrigin::commodore, TextOrigin::system}) {
        FUZZ_CHECK(displayed_text(Display::bytes, text, origin) == std::string(text));
        FUZZ_CHECK(clean_utf8(displayed_text(Display::utf8, text, origin)));
        for (char c : displayed_text(Display::safe_bytes, text, origin)) {
            auto byte = static_cast<unsigned char>(c);
            FUZZ_CHECK(byte >= 0x20 && byte != 0x7F && !(byte >= 0x80 && byte < 0xA0));
        }
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

    CommandLine line = read_command_line(static_cast<int>(words.size()), argv.data(), [] { return 2026; });
    if (line.walk_failure.failed() || line.request != Request::run || line.check_failure.failed())
        return 0;
    // A command line that passes every check is consistent.
    const Options& options = line.options;
    FUZZ_CHECK(options.line_number <= 65535);
    FUZZ_CHECK(!options.basic_starts.empty());
    if (options.batch()) {
        // Every name is a source; none is a destination.
        FUZZ_CHECK(!options.names.empty() && options.mode != Mode::interactive);
        FUZZ_CHECK(options.scope != Scope::in_place || options.changes_files());
        return 0;
    }
    const SingleTarget& target = line.target;
    FUZZ_CHECK(options.names.empty());
    const std::optional<SourceName> kind = source_for_name(target.source);
    FUZZ_CHECK(kind && kind->kind == target.kind.kind && kind->container == target.kind.container);
    if (options.changes_files()) {
        // What is written is of the source's kind: a set's part, a zip, a
        // gzip of the same container, a container of the same extension.
        FUZZ_CHECK(target.destination);
        const std::optional<SourceName> written = source_for_name(*target.destination);
        FUZZ_CHECK(written && written->kind == kind->kind && written->container == kind->container);
        FUZZ_CHECK(kind->kind != SourceKind::container || same_extension(target.source, *target.destination));
    }
    if (options.mode == Mode::check)
        FUZZ_CHECK(!target.destination);
    FUZZ_CHECK(!kind->container || has_directory(*kind->container) || options.mode != Mode::interactive);
    FUZZ_CHECK(options.format == OutputFormat::text || options.mode != Mode::interactive);
    return 0;
}
