#include "sources/sha1.h"

#include <bit>

namespace mog {

namespace {

constexpr std::size_t BLOCK_SIZE = 64;
constexpr std::size_t LENGTH_SIZE = 8; // the message's length in bits closes the last block
constexpr unsigned char PADDING_START = 0x80;

std::uint32_t read_be32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | static_cast<std::uint32_t>(bytes[3]);
}

// Twenty rounds with the step function f and its constant: the 80 rounds
// are four such runs, so that no round asks which run it is in. Five rounds
// at a time let the five words take each other's roles instead of moving.
template <class Function>
void rounds(const std::uint32_t* words, std::uint32_t (&v)[5], std::uint32_t constant, Function f) {
    std::uint32_t a = v[0], b = v[1], c = v[2], d = v[3], e = v[4];
    for (std::size_t i = 0; i < 20; i += 5) {
        e += std::rotl(a, 5) + f(b, c, d) + constant + words[i];
        b = std::rotl(b, 30);
        d += std::rotl(e, 5) + f(a, b, c) + constant + words[i + 1];
        a = std::rotl(a, 30);
        c += std::rotl(d, 5) + f(e, a, b) + constant + words[i + 2];
        e = std::rotl(e, 30);
        b += std::rotl(c, 5) + f(d, e, a) + constant + words[i + 3];
        d = std::rotl(d, 30);
        a += std::rotl(b, 5) + f(c, d, e) + constant + words[i + 4];
        c = std::rotl(c, 30);
    }
    v[0] = a, v[1] = b, v[2] = c, v[3] = d, v[4] = e;
}

void add_block(std::array<std::uint32_t, 5>& state, const unsigned char* block) {
    std::uint32_t words[80];
    for (std::size_t i = 0; i < 16; ++i)
        words[i] = read_be32(block + 4 * i);
    for (std::size_t i = 16; i < 80; ++i)
        words[i] = std::rotl(words[i - 3] ^ words[i - 8] ^ words[i - 14] ^ words[i - 16], 1);
    std::uint32_t v[5] = {state[0], state[1], state[2], state[3], state[4]};
    rounds(words, v, 0x5A827999, [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return d ^ (b & (c ^ d)); });
    rounds(words + 20, v, 0x6ED9EBA1, [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; });
    rounds(words + 40, v, 0x8F1BBCDC,
           [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return (b & c) | (d & (b | c)); });
    rounds(words + 60, v, 0xCA62C1D6, [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; });
    for (std::size_t k = 0; k < 5; ++k)
        state[k] += v[k];
}

std::string hex_of(std::span<const unsigned char> bytes) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * bytes.size());
    for (const unsigned char byte : bytes) {
        text.push_back(DIGITS[byte >> 4]);
        text.push_back(DIGITS[byte & 0x0F]);
    }
    return text;
}

} // namespace

Sha1 sha1_of(std::span<const unsigned char> bytes) {
    std::array<std::uint32_t, 5> state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const std::size_t whole = bytes.size() - bytes.size() % BLOCK_SIZE;
    for (std::size_t at = 0; at < whole; at += BLOCK_SIZE)
        add_block(state, bytes.data() + at);
    // The rest, a 1 bit, zeros and the length fill one block or two.
    std::array<unsigned char, 2 * BLOCK_SIZE> tail{};
    const std::size_t rest = bytes.size() - whole;
    for (std::size_t i = 0; i < rest; ++i)
        tail[i] = bytes[whole + i];
    tail[rest] = PADDING_START;
    const std::size_t tail_size = rest + 1 + LENGTH_SIZE <= BLOCK_SIZE ? BLOCK_SIZE : 2 * BLOCK_SIZE;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (std::size_t i = 0; i < LENGTH_SIZE; ++i)
        tail[tail_size - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    for (std::size_t at = 0; at < tail_size; at += BLOCK_SIZE)
        add_block(state, tail.data() + at);
    Sha1 sha1;
    for (std::size_t i = 0; i < SHA1_SIZE; ++i)
        sha1[i] = static_cast<unsigned char>(state[i / 4] >> (24 - 8 * (i % 4)));
    return sha1;
}

std::string sha1_hex(const Sha1& sha1) {
    return hex_of(sha1);
}

std::string crc32_hex(std::uint32_t crc) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(crc >> 24), static_cast<unsigned char>(crc >> 16),
                                    static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc)};
    return hex_of(bytes);
}

} // namespace mog
