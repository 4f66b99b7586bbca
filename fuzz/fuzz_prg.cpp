// A PRG or P00 file of any bytes, checked, shown and rewritten.
#include <cstdlib>
#include <cstring>

#include "basic/sys_line.h"
#include "cli/reporter.h"
#include "harness.h"
#include "pass_properties.h"
#include "mog/pass.h"

using namespace mog;

namespace {

// A self-dissolving archive's stub, judged here from the bytes themselves:
// a line numbered 7 or more whose number points, (N - 6) x 254 bytes into
// the program (one byte earlier for "15 SYS 7"), at a whole archive entry
// header.
bool archive_stub(const std::uint8_t* program, std::size_t size) {
    const std::size_t number = program[4] | (program[5] << 8);
    if (number < 7)
        return false;
    std::size_t at = (number - 6) * 254;
    if (number == 15 && size > 8 && program[7] != 0 && program[8] == '7')
        --at;
    if (at + 11 > size)
        return false;
    const std::uint8_t* header = program + at;
    const unsigned version = header[0], mode = header[1], type = header[9], name = header[10];
    const bool known = (version == 1 && mode <= 2) || (version == 2 && mode <= 5);
    const bool typed = type == 'S' || type == 'P' || type == 'U' || type == 'R';
    return known && typed && name <= 16 && at + 11 + name + (version == 2 ? 3 : 0) <= size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // Byte 0 picks the mode and PRG or P00, bytes 1-2 the new line number;
    // the rest is the file.
    const int mode = data[0] % 4;
    const bool p00 = (data[0] & 4) != 0;
    const long line_number = data[1] | (data[2] << 8);
    const std::size_t file_size = size - 3;
    start_run(nullptr, 0);
    Options options;
    const Container container = *container_for_name(p00 ? "x.p00" : "x.prg");
    const bool view = mode != 0;
    options.mode = view ? Mode::view : Mode::rewrite;
    options.style.full_blocks = mode == 2;
    if (mode == 3)
        options.style.characters = TextStyle::Characters::raw;

    // Exactly the file's bytes, so that any read beyond them is caught.
    auto* buffer = static_cast<unsigned char*>(std::malloc(file_size > 0 ? file_size : 1));
    std::memcpy(buffer, data + 3, file_size);
    // Checked here from the bytes themselves: a P00 header of "C64File" and
    // a zero byte, then SYS at byte 6 of the program, loading at $0801.
    const std::uint8_t* file = data + 3;
    const bool header = !p00 || (file_size >= 26 && std::memcmp(file, "C64File", 8) == 0);
    const std::size_t start = p00 ? 26 : 0;
    const std::uint8_t* program = file + start;
    const bool expected =
        header && file_size > start + 6 && program[6] == SYS_TOKEN && program[0] == 0x01 && program[1] == 0x08;
    const bool stamped = expected && !view && !archive_stub(program, file_size - start);
    PassRequest request;
    if (!view)
        request.each = Decision{Action::set, static_cast<unsigned>(line_number)};
    FileReport report = report_of_pass(container, buffer, file_size, request);
    const PassResult& outcome = report.result;
    FUZZ_CHECK((outcome.failure == PassFailure::none) == expected);
    FUZZ_CHECK((outcome.failure == PassFailure::not_p00) == !header);
    FUZZ_CHECK(outcome.programs.size() == (header ? 1u : 0u));
    if (outcome.failure == PassFailure::unexpected_load_address)
        FUZZ_CHECK(outcome.programs[0].load_address == static_cast<unsigned>(program[0] | (program[1] << 8)));
    if (outcome.failure == PassFailure::none)
        TEXT_REPORTER.file_ends(options, report);
    const std::size_t number_at = start + LOAD_ADDRESS_SIZE + SYS_LINE_NUMBER;
    for (std::size_t i = 0; i < file_size; ++i) {
        // Exactly the two line-number bytes may change, only in a rewrite,
        // and never those of an archive's stub.
        if (stamped && i == number_at)
            FUZZ_CHECK(buffer[i] == data[1]);
        else if (stamped && i == number_at + 1)
            FUZZ_CHECK(buffer[i] == data[2]);
        else
            FUZZ_CHECK(buffer[i] == data[3 + i]);
    }
    std::free(buffer);
    return 0;
}
