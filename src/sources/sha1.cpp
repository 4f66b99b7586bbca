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

void add_block(std::array<std::uint32_t, 5>& state, const unsigned char* block) {
    std::array<std::uint32_t, 80> words;
    for (std::size_t i = 0; i < 16; ++i)
        words[i] = read_be32(block + 4 * i);
    for (std::size_t i = 16; i < 80; ++i)
        words[i] = std::rotl(words[i - 3] ^ words[i - 8] ^ words[i - 14] ^ words[i - 16], 1);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (std::size_t i = 0; i < 80; ++i) {
        std::uint32_t mixed = 0;
        std::uint32_t constant = 0;
        if (i < 20) {
            mixed = (b & c) | (~b & d);
            constant = 0x5A827999;
        } else if (i < 40) {
            mixed = b ^ c ^ d;
            constant = 0x6ED9EBA1;
        } else if (i < 60) {
            mixed = (b & c) | (b & d) | (c & d);
            constant = 0x8F1BBCDC;
        } else {
            mixed = b ^ c ^ d;
            constant = 0xCA62C1D6;
        }
        const std::uint32_t next = std::rotl(a, 5) + mixed + e + constant + words[i];
        e = d;
        d = c;
        c = std::rotl(b, 30);
        b = a;
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
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
