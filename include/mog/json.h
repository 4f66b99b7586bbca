// JSON text as every front end writes it: strings escaped one way, objects
// member by member in the order given.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mog {

// Text as a JSON string: every control character (U+0000-U+001F, U+007F,
// U+0080-U+009F) as \u00XX, and each byte that is no valid UTF-8 as U+FFFD.
std::string json_string(std::string_view text);

// Items that are JSON already, as an array.
std::string json_array(const std::vector<std::string>& items);

// Texts as an array of JSON strings.
std::string json_string_array(const std::vector<std::string>& items);

// One object, built member by member; keys are plain ASCII.
class JsonObject {
  public:
    JsonObject();
    // A member whose value is JSON already.
    JsonObject& raw(std::string_view key, std::string_view json);
    JsonObject& string(std::string_view key, std::string_view value);
    JsonObject& string_array(std::string_view key, std::span<const std::string_view> values);
    JsonObject& maybe_string(std::string_view key, const std::optional<std::string>& value); // null when absent
    JsonObject& number(std::string_view key, long long value);
    JsonObject& maybe_number(std::string_view key, std::optional<unsigned long long> value); // null when absent
    JsonObject& boolean(std::string_view key, bool value);
    JsonObject& null(std::string_view key);
    // The object's text.
    std::string done() const&;
    std::string done() &&;

  private:
    // Writes the separator and the key of a member with room for its value
    // after them, and gives where the value goes; member_ends takes the end.
    char* member(std::string_view key, std::size_t value_room);
    void member_ends(const char* end);
    std::string text_;     // the object so far in its first used_ bytes, and room for more
    std::size_t used_ = 0;
};

} // namespace mog
