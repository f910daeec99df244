#include "json_tree.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

using nlohmann::json;

// A problem file nests three levels; the tree is freed recursively, so a
// hostile file of a million brackets must stop long before the stack does.
constexpr std::size_t kDeepestNesting = 64;

// "line 3, column 15" of a byte offset, as editors count them.
std::string text_position(std::string_view text, std::size_t byte) {
  byte = std::min(byte, text.size());
  const std::string_view before = text.substr(0, byte);
  const auto line = 1 + std::count(before.begin(), before.end(), '\n');
  const std::size_t line_start = before.rfind('\n');
  const std::size_t column = line_start == std::string_view::npos ? byte + 1 : byte - line_start;
  return std::to_string(line) + ":" + std::to_string(column);
}

// nlohmann's message without its "[json.exception...] parse error at ..., column N:" preamble.
std::string parse_reason(const std::string& message) {
  const std::size_t column = message.find("column ");
  const std::size_t colon = column == std::string::npos ? column : message.find(": ", column);
  return colon == std::string::npos ? message : message.substr(colon + 2);
}

class TreeBuilder final : public nlohmann::json_sax<json> {
 public:
  TreeBuilder(std::string_view text, JsonValue& root, JsonFailure& failure)
      : text_(text), root_(root), failure_(failure) {}

  bool null() override { return add({}); }
  bool boolean(bool value) override {
    JsonValue node;
    node.type = JsonValue::Type::kBoolean;
    node.boolean = value;
    return add(std::move(node));
  }
  bool number_integer(number_integer_t value) override { return number(std::to_string(value)); }
  bool number_unsigned(number_unsigned_t value) override { return number(std::to_string(value)); }
  bool number_float(number_float_t, const string_t& token) override { return number(token); }
  bool string(string_t& value) override {
    JsonValue node;
    node.type = JsonValue::Type::kString;
    node.text = std::move(value);
    return add(std::move(node));
  }
  bool binary(binary_t&) override { return false; }  // the text parser never produces it

  bool start_object(std::size_t) override { return open(JsonValue::Type::kObject); }
  bool key(string_t& name) override {
    open_.back()->members.emplace_back(std::move(name), JsonValue{});
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(JsonValue::Type::kArray); }
  bool end_array() override { return close(); }

  bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& error) override {
    failure_.position = text_position(text_, position == 0 ? 0 : position - 1);
    failure_.path = path();
    if (error.id == 406)  // a number beyond the range of doubles
      failure_.number = shortened(token);
    else
      failure_.reason = parse_reason(error.what());
    return false;
  }

 private:
  bool number(std::string token) {
    JsonValue node;
    node.type = JsonValue::Type::kNumber;
    node.text = std::move(token);
    return add(std::move(node));
  }

  JsonValue& slot() {
    if (open_.empty()) return root_;
    JsonValue& container = *open_.back();
    if (container.type == JsonValue::Type::kObject) return container.members.back().second;
    return container.elements.emplace_back();
  }

  bool add(JsonValue value) {
    slot() = std::move(value);
    return true;
  }

  bool open(JsonValue::Type type) {
    if (open_.size() == kDeepestNesting) {
      failure_.path = path();
      failure_.reason = "the document nests deeper than " + std::to_string(kDeepestNesting) + " levels";
      return false;
    }
    JsonValue& node = slot();
    node.type = type;
    open_.push_back(&node);
    return true;
  }

  bool close() {
    open_.pop_back();
    return true;
  }

  // The value being read when the parser stopped: the latest member of each
  // object, the open element of each array (the next one in the innermost).
  std::vector<JsonPathStep> path() const {
    std::vector<JsonPathStep> steps;
    for (std::size_t depth = 0; depth < open_.size(); ++depth) {
      const JsonValue& container = *open_[depth];
      const bool innermost = depth + 1 == open_.size();
      if (container.type == JsonValue::Type::kObject) {
        if (!container.members.empty()) steps.push_back({container.members.back().first, 0});
      } else {
        steps.push_back({{}, innermost ? container.elements.size() : container.elements.size() - 1});
      }
    }
    return steps;
  }

  std::string_view text_;
  JsonValue& root_;
  JsonFailure& failure_;
  std::vector<JsonValue*> open_;  // containers being filled, outermost first
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
  for (const auto& [name, value] : members)
    if (name == key) return &value;
  return nullptr;
}

const std::string* JsonValue::duplicate_key() const {
  for (std::size_t first = 0; first < members.size(); ++first)
    for (std::size_t second = first + 1; second < members.size(); ++second)
      if (members[first].first == members[second].first) return &members[first].first;
  return nullptr;
}

std::string JsonValue::excerpt() const {
  switch (type) {
    case Type::kNull:
      return "null";
    case Type::kBoolean:
      return boolean ? "true" : "false";
    case Type::kNumber:
      return shortened(text);
    case Type::kString:
      return shortened(json(text).dump(-1, ' ', false, json::error_handler_t::replace));
    case Type::kArray:
      return elements.empty() ? "[]" : "[…]";
    case Type::kObject:
      return members.empty() ? "{}" : "{…}";
  }
  return {};
}

bool parse_json(std::string_view text, JsonValue& document, JsonFailure& failure) {
  // The parser takes a NUL for the end of the input; whatever follows it must
  // not be ignored.
  const std::size_t nul = text.find('\0');
  TreeBuilder builder(text.substr(0, nul), document, failure);
  if (!json::sax_parse(text.substr(0, nul), &builder)) return false;
  if (nul != std::string_view::npos) {
    failure.position = text_position(text, nul);
    failure.reason = "unexpected bytes after the end of the document";
    return false;
  }
  return true;
}

}  // namespace krelvo::cli
