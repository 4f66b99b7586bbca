// The one JSON writer. An object's text is kept in a string larger than
// what it holds: each member makes room for the most it can take and is
// written there through a pointer, which costs far less than an append for
// each of its few bytes.
#include "mog/json.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "text/utf8.h"

namespace mog {

namespace {

constexpr char HEX_DIGITS[] = "0123456789abcdef";

// The most a byte of text takes in a JSON string: \u00XX.
constexpr std::size_t MOST_PER_BYTE = 6;

// The most a JSON string of the text takes, with its quotes.
std::size_t json_string_room(std::string_view text) {
    return 2 + MOST_PER_BYTE * text.size();
}

// Room for `more` bytes after the first `used` of the text, and where they go.
char* room(std::string& text, std::size_t used, std::size_t more) {
    if (text.size() - used < more)
        text.resize(std::max(2 * text.size(), used + more));
    return text.data() + used;
}

char* put(char* at, std::string_view bytes) {
    std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

// The decimal digits of a number, written to end at the end of the buffer.
std::string_view digits_of(unsigned long long value, std::array<char, 24>& digits) {
    std::size_t at = digits.size();
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    return std::string_view(digits.data() + at, digits.size() - at);
}

// The bytes that stand for themselves in a JSON string: printable ASCII but
// the quote and the backslash.
constexpr std::array<bool, 256> PLAIN = [] {
    std::array<bool, 256> plain{};
    for (int byte = 0x20; byte < 0x7F; ++byte)
        plain[static_cast<std::size_t>(byte)] = byte != '"' && byte != '\\';
    return plain;
}();

// Writes the text as a JSON string where there is room for json_string_room
// of it; gives the end.
char* put_json_string(char* out, std::string_view text) {
    *out++ = '"';
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
        // Plain bytes go in as one run.
        std::size_t run = 0;
        while (run < left && PLAIN[at[run]])
            ++run;
        out = put(out, std::string_view(reinterpret_cast<const char*>(at), run));
        at += run;
        left -= run;
        if (left == 0)
            break;
        char32_t code_point = 0;
        std::size_t length = utf8_sequence(at, left, code_point);
        if (length == 0) {
            out = put(out, REPLACEMENT_CHARACTER);
            length = 1;
        } else if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0)) {
            out = put(out, "\\u00");
            *out++ = HEX_DIGITS[code_point >> 4];
            *out++ = HEX_DIGITS[code_point & 0x0F];
        } else if (code_point == '"' || code_point == '\\') {
            *out++ = '\\';
            *out++ = static_cast<char>(code_point);
        } else {
            out = put(out, std::string_view(reinterpret_cast<const char*>(at), length));
        }
        at += length;
        left -= length;
    }
    *out++ = '"';
    return out;
}

} // namespace

std::string json_string(std::string_view text) {
    std::string quoted(json_string_room(text), '\0');
    quoted.resize(static_cast<std::size_t>(put_json_string(quoted.data(), text) - quoted.data()));
    return quoted;
}

std::string json_array(const std::vector<std::string>& items) {
    std::string text = "[";
    for (const std::string& item : items) {
        if (text.size() > 1)
            text += ',';
        text += item;
    }
    return text + "]";
}

std::string json_string_array(const std::vector<std::string>& items) {
    std::string text = "[";
    for (const std::string& item : items) {
        if (text.size() > 1)
            text += ',';
        text += json_string(item);
    }
    return text + "]";
}

// A program's record takes some 400 bytes: room for it at once.
JsonObject::JsonObject() : text_(512, '\0') {
    text_[used_++] = '{';
}

char* JsonObject::member(std::string_view key, std::size_t value_room) {
    char* at = room(text_, used_, key.size() + 4 + value_room);
    if (used_ > 1)
        *at++ = ',';
    *at++ = '"';
    at = put(at, key);
    *at++ = '"';
    *at++ = ':';
    return at;
}

void JsonObject::member_ends(const char* end) {
    used_ = static_cast<std::size_t>(end - text_.data());
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    member_ends(put(member(key, json.size()), json));
    return *this;
}

JsonObject& JsonObject::string(std::string_view key, std::string_view value) {
    member_ends(put_json_string(member(key, json_string_room(value)), value));
    return *this;
}

JsonObject& JsonObject::string_array(std::string_view key, std::span<const std::string_view> values) {
    std::size_t most = 2; // the brackets
    for (std::string_view value : values)
        most += 1 + json_string_room(value);
    char* at = member(key, most);
    *at++ = '[';
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0)
            *at++ = ',';
        at = put_json_string(at, values[k]);
    }
    *at++ = ']';
    member_ends(at);
    return *this;
}

JsonObject& JsonObject::maybe_string(std::string_view key, const std::optional<std::string>& value) {
    return value ? string(key, std::string_view(*value)) : null(key);
}

JsonObject& JsonObject::number(std::string_view key, long long value) {
    std::array<char, 24> digits;
    const auto magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    char* at = member(key, 1 + digits.size());
    if (value < 0)
        *at++ = '-';
    member_ends(put(at, digits_of(magnitude, digits)));
    return *this;
}

JsonObject& JsonObject::maybe_number(std::string_view key, std::optional<unsigned long long> value) {
    if (!value)
        return null(key);
    std::array<char, 24> digits;
    return raw(key, digits_of(*value, digits));
}

JsonObject& JsonObject::boolean(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonObject& JsonObject::null(std::string_view key) {
    return raw(key, "null");
}

std::string JsonObject::done() const& {
    return std::string(text_.data(), used_) + "}";
}

std::string JsonObject::done() && {
    text_.resize(used_);
    return std::move(text_ += '}');
}

} // namespace mog
