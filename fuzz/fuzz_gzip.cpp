// A gzip file of any bytes: read under a small limit and, when it reads,
// written back around its own content, which must keep the header and
// read the same.
#include <algorithm>

#include "harness.h"
#include "sources/gzip_file.h"

using namespace mog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t LIMIT = 1 << 16;
    const std::span<const unsigned char> file(data, size);
    Bytes content;
    const GzipRead read = read_gzip(file, content, LIMIT);
    const bool given = read.result == GzipReadResult::ok || read.result == GzipReadResult::crc_mismatch;
    FUZZ_CHECK(content.size() <= LIMIT && (given || content.empty()));
    if (read.result != GzipReadResult::ok)
        return 0;
    Bytes out;
    FUZZ_CHECK(write_gzip(file, content, out) == GzipWriteResult::ok);
    FUZZ_CHECK(out.size() >= read.header.size && std::equal(out.begin(), out.begin() + read.header.size, data));
    Bytes again;
    FUZZ_CHECK(read_gzip(out, again, LIMIT).result == GzipReadResult::ok && again == content);
    return 0;
}
