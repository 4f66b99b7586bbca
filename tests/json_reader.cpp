#include "json_reader.h"

#include <cctype>
#include <cstdlib>

#include "mog/petscii.h"

namespace {

struct Reader {
    const std::string& text;
    std::size_t at = 0;
    std::string error;

    bool fail(const std::string& why) {
        if (error.empty())
            error = why + " at byte " + std::to_string(at);
        return false;
    }
    void skip_space() {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
            ++at;
    }
    bool literal(const char* word) {
        std::string w(word);
        if (text.compare(at, w.size(), w) != 0)
            return fail("expected " + w);
        at += w.size();
        return true;
    }
    bool hex4(unsigned long& code) {
        if (at + 4 > text.size())
            return fail("short \\u escape");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            char c = text[at++];
            int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
            if (digit < 0)
                return fail("bad \\u escape");
            code = code << 4 | static_cast<unsigned long>(digit);
        }
        return true;
    }
    // Raw bytes must be valid UTF-8 and no control character.
    bool utf8_char(std::string& out) {
        auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 0;
        if (lead < 0x20 || length == 0 || at + length > text.size())
            return fail("control character or invalid UTF-8 in a string");
        unsigned long code = lead & (0xFF >> (length + 1));
        for (std::size_t i = 1; i < length; ++i) {
            auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return fail("invalid UTF-8 in a string");
            code = code << 6 | (next & 0x3F);
        }
        if ((length == 2 && code < 0x80) || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return fail("invalid UTF-8 in a string");
        out.append(text, at, length);
        at += length;
        return true;
    }
    bool string(std::string& out) {
        if (at >= text.size() || text[at] != '"')
            return fail("expected a string");
        ++at;
        while (at < text.size() && text[at] != '"') {
            if (text[at] != '\\') {
                if (!utf8_char(out))
                    return false;
                continue;
            }
            if (++at >= text.size())
                return fail("escape at the end");
            char c = text[at++];
            const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
            if (std::size_t k = simple.find(c); k != std::string::npos) {
                out += meaning[k];
            } else if (c == 'u') {
                unsigned long code = 0;
                if (!hex4(code))
                    return false;
                if (code >= 0xD800 && code <= 0xDBFF) {
                    unsigned long low = 0;
                    if (!literal("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return fail("lone surrogate");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    return fail("lone surrogate");
                }
                mog::append_utf8(out, static_cast<char32_t>(code));
            } else {
                return fail("bad escape");
            }
        }
        if (at >= text.size())
            return fail("unterminated string");
        ++at;
        return true;
    }
    bool number(double& out) {
        std::size_t start = at;
        if (at < text.size() && text[at] == '-')
            ++at;
        if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])))
            return fail("expected a number");
        if (text[at] == '0' && at + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[at + 1])))
            return fail("leading zero");
        while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.' ||
                                    text[at] == 'e' || text[at] == 'E' || text[at] == '+' || text[at] == '-'))
            ++at;
        out = std::strtod(text.substr(start, at - start).c_str(), nullptr);
        return true;
    }
    bool value(JsonValue& out) {
        skip_space();
        if (at >= text.size())
            return fail("expected a value");
        char c = text[at];
        if (c == '{') {
            out.type = JsonValue::Type::object;
            ++at;
            skip_space();
            if (at < text.size() && text[at] == '}')
                return ++at, true;
            for (;;) {
                skip_space();
                std::string key;
                if (!string(key))
                    return false;
                if (out.object.count(key) != 0)
                    return fail("repeated key " + key);
                skip_space();
                if (!literal(":") || !value(out.object[key]))
                    return false;
                skip_space();
                if (at < text.size() && text[at] == ',') {
                    ++at;
                    continue;
                }
                return literal("}");
            }
        }
        if (c == '[') {
            out.type = JsonValue::Type::array;
            ++at;
            skip_space();
            if (at < text.size() && text[at] == ']')
                return ++at, true;
            for (;;) {
                out.array.emplace_back();
                if (!value(out.array.back()))
                    return false;
                skip_space();
                if (at < text.size() && text[at] == ',') {
                    ++at;
                    continue;
                }
                return literal("]");
            }
        }
        if (c == '"')
            return out.type = JsonValue::Type::string, string(out.string);
        if (c == 't')
            return out.type = JsonValue::Type::boolean, out.boolean = true, literal("true");
        if (c == 'f')
            return out.type = JsonValue::Type::boolean, literal("false");
        if (c == 'n')
            return literal("null");
        return out.type = JsonValue::Type::number, number(out.number);
    }
};

const JsonValue NULL_VALUE;

} // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    auto found = object.find(key);
    return found == object.end() ? NULL_VALUE : found->second;
}

bool parse_json(const std::string& text, JsonValue& value, std::string& error) {
    Reader reader{text, 0, ""};
    value = JsonValue{};
    bool parsed = reader.value(value);
    reader.skip_space();
    if (parsed && reader.at != text.size())
        parsed = reader.fail("text after the value");
    error = reader.error;
    return parsed;
}

bool parse_json_lines(const std::string& text, std::vector<JsonValue>& values, std::string& error) {
    values.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            error = "the last line has no newline";
            return false;
        }
        std::string line = text.substr(start, end - start);
        values.emplace_back();
        if (!parse_json(line, values.back(), error) || values.back().type != JsonValue::Type::object) {
            error = (error.empty() ? "not an object" : error) + ": " + line;
            return false;
        }
        start = end + 1;
    }
    return true;
}
