// The one JSON writer.
#include "mog/json.h"

#include <array>

#include "text/utf8.h"

namespace mog {

namespace {

constexpr char HEX_DIGITS[] = "0123456789abcdef";

void append_number(std::string& text, unsigned long long value) {
    char digits[24];
    std::size_t at = sizeof digits;
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    text.append(digits + at, sizeof digits - at);
}

// The bytes that stand for themselves in a JSON string: printable ASCII but
// the quote and the backslash.
constexpr std::array<bool, 256> PLAIN = [] {
    std::array<bool, 256> plain{};
    for (int byte = 0x20; byte < 0x7F; ++byte)
        plain[static_cast<std::size_t>(byte)] = byte != '"' && byte != '\\';
    return plain;
}();

void append_json_string(std::string& quoted, std::string_view text) {
    quoted += '"';
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
        // Plain bytes go in as one run.
        std::size_t run = 0;
        while (run < left && PLAIN[at[run]])
            ++run;
        quoted.append(reinterpret_cast<const char*>(at), run);
        at += run;
        left -= run;
        if (left == 0)
            break;
        char32_t code_point = 0;
        std::size_t length = utf8_sequence(at, left, code_point);
        if (length == 0) {
            quoted += REPLACEMENT_CHARACTER;
            length = 1;
        } else if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0)) {
            quoted += "\\u00";
            quoted += HEX_DIGITS[code_point >> 4];
            quoted += HEX_DIGITS[code_point & 0x0F];
        } else if (code_point == '"' || code_point == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(code_point);
        } else {
            quoted.append(reinterpret_cast<const char*>(at), length);
        }
        at += length;
        left -= length;
    }
    quoted += '"';
}

} // namespace

std::string json_string(std::string_view text) {
    std::string quoted;
    append_json_string(quoted, text);
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
        append_json_string(text, item);
    }
    return text + "]";
}

// A program's record takes some 400 bytes: room for it at once.
JsonObject::JsonObject() {
    text_.reserve(512);
}

void JsonObject::key(std::string_view key) {
    const std::string_view opening = text_.size() > 1 ? ",\"" : "\"";
    text_.append(opening.data(), opening.size()).append(key.data(), key.size()).append("\":", 2);
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    this->key(key);
    text_ += json;
    return *this;
}

JsonObject& JsonObject::string(std::string_view key, std::string_view value) {
    this->key(key);
    append_json_string(text_, value);
    return *this;
}

JsonObject& JsonObject::string_array(std::string_view key, std::span<const std::string_view> values) {
    this->key(key);
    text_ += '[';
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0)
            text_ += ',';
        append_json_string(text_, values[k]);
    }
    text_ += ']';
    return *this;
}

JsonObject& JsonObject::maybe_string(std::string_view key, const std::optional<std::string>& value) {
    return value ? string(key, std::string_view(*value)) : null(key);
}

JsonObject& JsonObject::number(std::string_view key, long long value) {
    this->key(key);
    if (value < 0)
        text_ += '-';
    append_number(text_, value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value));
    return *this;
}

JsonObject& JsonObject::maybe_number(std::string_view key, std::optional<unsigned long long> value) {
    if (!value)
        return null(key);
    this->key(key);
    append_number(text_, *value);
    return *this;
}

JsonObject& JsonObject::boolean(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonObject& JsonObject::null(std::string_view key) {
    return raw(key, "null");
}

} // namespace mog
