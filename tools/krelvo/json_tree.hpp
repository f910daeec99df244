// JSON as written: numbers keep their text, so lengths convert to units
// exactly, and objects keep every key in order, duplicates included, so the
// reader can refuse an ambiguous file instead of silently picking one value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace krelvo::cli {

struct JsonValue {
  enum class Type { kNull, kBoolean, kNumber, kString, kArray, kObject };

  Type type = Type::kNull;
  bool boolean = false;
  std::string text;  // a number's token as written, or a string's value
  std::vector<JsonValue> elements;
  std::vector<std::pair<std::string, JsonValue>> members;

  // The first member of that name, or null.
  const JsonValue* find(std::string_view key) const;
  // A key that appears more than once, or null.
  const std::string* duplicate_key() const;
  // Short text for messages: numbers and strings as written, "{…}" for containers.
  std::string excerpt() const;
};

// Where a parse stopped: the keys and array positions (from 0) leading there.
struct JsonPathStep {
  std::string key;         // empty for an array element
  std::size_t index = 0;   // for an array element
};

struct JsonFailure {
  std::string position;             // "line:column", empty when not known
  std::vector<JsonPathStep> path;   // to the value being read
  std::string number;               // a number beyond the range of doubles, as written
  std::string reason;               // otherwise the parser's reason
};

// Parses one document; anything after it (a NUL byte included) is a failure.
// Returns false and fills `failure` on bad JSON.
bool parse_json(std::string_view text, JsonValue& document, JsonFailure& failure);

}  // namespace krelvo::cli
