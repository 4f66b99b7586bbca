// Raw deflate streams (no zlib or gzip wrapper) and CRC-32, as zip members
// and gzip files hold them. The only unit that calls zlib; a build without
// zlib has inflate and deflate answer unsupported. Running out of memory
// throws std::bad_alloc, as every Bytes does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "mog/bytes.h"

namespace mog {

enum class InflateResult {
    ok,          // the stream ended within the input
    too_large,   // it would give more than the limit; inflation stopped there
    corrupt,     // not a deflate stream, or cut before its end
    unsupported, // no inflater in this build
};

struct Inflated {
    InflateResult result = InflateResult::corrupt;
    // Input bytes taken up to the stream's end (on ok); what follows it, a
    // gzip trailer for one, starts there.
    std::size_t consumed = 0;
};

// Inflates the raw deflate stream at the start of compressed and appends
// what it gives to into, never more than limit bytes: the limit is checked
// while inflating, whatever a header may have claimed. On failure into
// keeps what was inflated so far (at most limit bytes more than before).
Inflated inflate_raw(std::span<const unsigned char> compressed, Bytes& into, std::size_t limit);

enum class DeflateResult {
    ok,
    failed,      // zlib gave up, which a stream set up here never makes it do
    unsupported, // no deflater in this build
};

// zlib's levels: 1 fastest, 9 smallest, 6 its default.
constexpr int FASTEST_DEFLATE_LEVEL = 1;
constexpr int DEFAULT_DEFLATE_LEVEL = 6;
constexpr int BEST_DEFLATE_LEVEL = 9;

// Deflates content as one raw stream at the given level (1 to 9, others
// taken as the nearest) and appends it to out.
DeflateResult deflate_raw(std::span<const unsigned char> content, int level, Bytes& out);

// The CRC-32 of zip and gzip (polynomial 0xEDB88320, inverted), 0 for no bytes.
std::uint32_t crc32_of(std::span<const unsigned char> bytes);

} // namespace mog
