// The one JSON writer.
#include "mog/json.h"

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

} // namespace

std::string json_string(std::string_view text) {
    std::string quoted = "\"";
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
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
    return quoted + "\"";
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
    std::vector<std::string> quoted;
    quoted.reserve(items.size());
    for (const std::string& item : items)
        quoted.push_back(json_string(item));
    return json_array(quoted);
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    text_ += text_.size() > 1 ? ",\"" : "\"";
    text_ += key;
    text_ += "\":";
    text_ += json;
    return *this;
}

JsonObject& JsonObject::string(std::string_view key, std::string_view value) {
    return raw(key, json_string(value));
}

JsonObject& JsonObject::maybe_string(std::string_view key, const std::optional<std::string>& value) {
    return value ? string(key, std::string_view(*value)) : null(key);
}

JsonObject& JsonObject::number(std::string_view key, long long value) {
    std::string digits;
    if (value < 0)
        digits += '-';
    append_number(digits, value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value));
    return raw(key, digits);
}

JsonObject& JsonObject::maybe_number(std::string_view key, std::optional<unsigned long long> value) {
    if (!value)
        return null(key);
    std::string digits;
    append_number(digits, *value);
    return raw(key, digits);
}

JsonObject& JsonObject::boolean(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonObject& JsonObject::null(std::string_view key) {
    return raw(key, "null");
}

} // namespace mog
