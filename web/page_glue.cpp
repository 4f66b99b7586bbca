// What the web page calls, as plain C functions that the page reaches
// through Module.cwrap. Strings go in and out as UTF-8, answers as JSON text
// (see page_api.h); a file's bytes go in through one buffer that the page
// fills from Module.HEAPU8, and a stamp leaves the new bytes there. A
// Zip-Code set's parts lie in that buffer one after another, and its new
// parts come back in a buffer of their own. Every decision about formats
// stays in the library.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

#include <mog/files.h>

#include "page_api.h"

namespace {

std::vector<unsigned char> file_bytes;    // the bytes of the file worked on
std::vector<unsigned char> written_parts; // the new parts of the last set stamped
std::string answer;                       // the last answer, until the next call

// The buffer takes a set's four parts, each up to mog::MAX_FILE_SIZE.
constexpr double MAX_BUFFER_SIZE = 4.0 * static_cast<double>(mog::MAX_FILE_SIZE);

const char* answered(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

std::span<unsigned char> bytes_of(double size) {
    // The buffer holds one byte more than the file.
    const double room = file_bytes.empty() ? 0.0 : static_cast<double>(file_bytes.size() - 1);
    const auto count = static_cast<std::size_t>(std::clamp(size, 0.0, room));
    return std::span(file_bytes.data(), count);
}

mog::page::Choices choices(const char* machines, const char* line_number, const char* kept) {
    return {machines != nullptr ? machines : "", line_number != nullptr ? line_number : "",
            kept != nullptr ? kept : ""};
}

// The parts of a set, one after another in the buffer; a size below 0 is a
// part not given.
mog::page::SetParts set_of(const char* name, const double (&sizes)[4]) {
    mog::page::SetParts set{name != nullptr ? name : "", {}};
    const std::span<unsigned char> all = bytes_of(MAX_BUFFER_SIZE);
    std::size_t at = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        if (!(sizes[k] >= 0))
            continue;
        const auto size = static_cast<std::size_t>(std::min(sizes[k], static_cast<double>(all.size() - at)));
        set.parts[k] = all.subspan(at, size);
        at += size;
    }
    return set;
}

} // namespace

extern "C" {

// What the page needs once: the version, the year, the machines, the limits.
EMSCRIPTEN_KEEPALIVE const char* mog_facts() {
    return answered(mog::page::facts());
}

// Before a file is read: whether the tool would read it.
EMSCRIPTEN_KEEPALIVE const char* mog_admit(const char* name, double size) {
    return answered(mog::page::admit(name != nullptr ? name : "", size));
}

// A file the browser could not read.
EMSCRIPTEN_KEEPALIVE const char* mog_read_failed(const char* name, const char* browser_error) {
    return answered(mog::page::read_failed(name != nullptr ? name : "", browser_error != nullptr ? browser_error : ""));
}

// Room for a file of the size, or a set's parts, at most four times
// mog::MAX_FILE_SIZE bytes; null for more. The page copies the bytes there, then lists or stamps them.
EMSCRIPTEN_KEEPALIVE unsigned char* mog_file_buffer(double size) {
    if (!(size >= 0) || size > MAX_BUFFER_SIZE)
        return nullptr;
    file_bytes.assign(static_cast<std::size_t>(size) + 1, 0); // never null, even for an empty file
    return file_bytes.data();
}

// The listing of the bytes in the buffer.
EMSCRIPTEN_KEEPALIVE const char* mog_list(const char* name, double size, const char* machines,
                                          const char* line_number) {
    return answered(mog::page::list(name != nullptr ? name : "", bytes_of(size), choices(machines, line_number, "")));
}

// What mog --check says of the bytes in the buffer.
EMSCRIPTEN_KEEPALIVE const char* mog_check(const char* name, double size, const char* machines,
                                           const char* line_number) {
    return answered(mog::page::check(name != nullptr ? name : "", bytes_of(size), choices(machines, line_number, "")));
}

// Sets the start lines of the bytes in the buffer; the new file is left there.
EMSCRIPTEN_KEEPALIVE const char* mog_stamp(const char* name, double size, const char* machines, const char* line_number,
                                           const char* kept) {
    return answered(
        mog::page::stamp(name != nullptr ? name : "", bytes_of(size), choices(machines, line_number, kept)));
}

// The listing, check and stamp of a Zip-Code set whose parts are in the
// buffer; the stamp's new parts are left in mog_written_parts().
EMSCRIPTEN_KEEPALIVE const char* mog_list_set(const char* name, double part1, double part2, double part3, double part4,
                                              const char* machines, const char* line_number) {
    return answered(
        mog::page::list_set(set_of(name, {part1, part2, part3, part4}), choices(machines, line_number, "")));
}

EMSCRIPTEN_KEEPALIVE const char* mog_check_set(const char* name, double part1, double part2, double part3, double part4,
                                               const char* machines, const char* line_number) {
    return answered(
        mog::page::check_set(set_of(name, {part1, part2, part3, part4}), choices(machines, line_number, "")));
}

EMSCRIPTEN_KEEPALIVE const char* mog_stamp_set(const char* name, double part1, double part2, double part3, double part4,
                                               const char* machines, const char* line_number, const char* kept) {
    return answered(mog::page::stamp_set(set_of(name, {part1, part2, part3, part4}),
                                         choices(machines, line_number, kept), written_parts));
}

EMSCRIPTEN_KEEPALIVE const unsigned char* mog_written_parts() {
    return written_parts.data();
}

} // extern "C"
