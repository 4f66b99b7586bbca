// A strict reader of one JSON value, for checking the tool's JSON Lines
// apart from the code that writes them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct JsonValue {
    enum class Type { null, boolean, number, string, array, object } type = Type::null;
    bool boolean = false;
    double number = 0;
    std::string string; // UTF-8
    std::vector<JsonValue> array;
    std::map<std::string, JsonValue> object;

    bool is_null() const { return type == Type::null; }
    // The member of an object; a null value when there is none.
    const JsonValue& operator[](const std::string& key) const;
};

// Parses the whole text as one JSON value; false, with where it failed in
// the error, for anything that is not exactly one valid value.
bool parse_json(const std::string& text, JsonValue& value, std::string& error);

// Each line of the text parsed; every line must end in "\n" and hold one
// JSON object. False, with the line and the reason in the error, otherwise.
bool parse_json_lines(const std::string& text, std::vector<JsonValue>& values, std::string& error);
