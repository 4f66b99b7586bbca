#include "sources/deflate.h"

#include <algorithm>
#include <limits>
#include <new>

#include <zlib.h>

namespace mog {

namespace {

// zlib counts in unsigned int: larger buffers go in pieces.
constexpr std::size_t LARGEST_PIECE = std::size_t{1} << 30;
// Output grows by what it already holds, at least this much at a time.
constexpr std::size_t SMALLEST_GROWTH = std::size_t{64} << 10;
// A raw stream: no zlib header, the largest window.
constexpr int RAW_WINDOW_BITS = -MAX_WBITS;
constexpr int MEMORY_LEVEL = 8; // zlib's default

// zlib's next_in is not const in every build of it; it never writes there.
Bytef* input_of(const unsigned char* bytes) {
    return const_cast<Bytef*>(bytes);
}

// Hands zlib the next piece of input once it has taken the last one.
void feed(z_stream& stream, std::span<const unsigned char> input, std::size_t& given) {
    if (stream.avail_in != 0 || given == input.size())
        return;
    const std::size_t piece = std::min(input.size() - given, LARGEST_PIECE);
    stream.next_in = input_of(input.data() + given);
    stream.avail_in = static_cast<uInt>(piece);
    given += piece;
}

struct InflateStream {
    z_stream stream{};
    InflateStream() {
        if (inflateInit2(&stream, RAW_WINDOW_BITS) != Z_OK)
            throw std::bad_alloc(); // zlib fails to start only for want of memory
    }
    ~InflateStream() { inflateEnd(&stream); }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

struct DeflateStream {
    z_stream stream{};
    explicit DeflateStream(int level) {
        if (deflateInit2(&stream, level, Z_DEFLATED, RAW_WINDOW_BITS, MEMORY_LEVEL, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::bad_alloc();
    }
    ~DeflateStream() { deflateEnd(&stream); }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;
};

} // namespace

Inflated inflate_raw(std::span<const unsigned char> compressed, Bytes& into, std::size_t limit) {
    InflateStream inflater;
    z_stream& stream = inflater.stream;
    const std::size_t start = into.size();
    std::size_t produced = 0;
    std::size_t given = 0;
    // Once the limit is reached, one more byte of room tells whether the
    // stream ends there or would go on.
    unsigned char probe = 0;
    for (;;) {
        feed(stream, compressed, given);
        const std::size_t room = limit - produced;
        const bool probing = room == 0;
        std::size_t offered = 1;
        if (probing) {
            stream.next_out = &probe;
        } else {
            offered = std::min({room, std::max(produced, SMALLEST_GROWTH), LARGEST_PIECE});
            into.resize(start + produced + offered);
            stream.next_out = into.data() + start + produced;
        }
        stream.avail_out = static_cast<uInt>(offered);
        const int status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t out = offered - stream.avail_out;
        if (!probing)
            produced += out;
        into.resize(start + produced);
        if (probing && out > 0)
            return {InflateResult::too_large, given - stream.avail_in};
        if (status == Z_STREAM_END)
            return {InflateResult::ok, given - stream.avail_in};
        if (status == Z_MEM_ERROR)
            throw std::bad_alloc();
        if (status != Z_OK)
            // Z_BUF_ERROR, no progress with room to write: the input ran out
            // before the stream's end. Anything else is damage.
            return {InflateResult::corrupt, given - stream.avail_in};
    }
}

DeflateResult deflate_raw(std::span<const unsigned char> content, int level, Bytes& out) {
    DeflateStream deflater(std::clamp(level, FASTEST_DEFLATE_LEVEL, BEST_DEFLATE_LEVEL));
    z_stream& stream = deflater.stream;
    std::size_t given = 0;
    for (;;) {
        feed(stream, content, given);
        const int flush = given == content.size() ? Z_FINISH : Z_NO_FLUSH;
        const std::size_t at = out.size();
        out.resize(at + SMALLEST_GROWTH);
        stream.next_out = out.data() + at;
        stream.avail_out = static_cast<uInt>(SMALLEST_GROWTH);
        const int status = deflate(&stream, flush);
        out.resize(at + SMALLEST_GROWTH - stream.avail_out);
        if (status == Z_STREAM_END)
            return DeflateResult::ok;
        // Z_OK and Z_BUF_ERROR ask for more room or more input.
        if (status != Z_OK && status != Z_BUF_ERROR)
            return DeflateResult::failed;
    }
}

std::uint32_t crc32_of(std::span<const unsigned char> bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t piece = std::min(bytes.size() - at, LARGEST_PIECE);
        crc = crc32(crc, bytes.data() + at, static_cast<uInt>(piece));
        at += piece;
    }
    return static_cast<std::uint32_t>(crc);
}

} // namespace mog
