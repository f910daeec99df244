#include "input_json.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

using nlohmann::json;

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
std::string parse_reason(const json::parse_error& error) {
  const std::string message = error.what();
  const std::size_t column = message.find("column ");
  const std::size_t colon = column == std::string::npos ? column : message.find(": ", column);
  return colon == std::string::npos ? message : message.substr(colon + 2);
}

double number_field(const json& entry, const char* key, const std::string& where) {
  const auto found = entry.find(key);
  if (found == entry.end()) raise_input_error(where, std::string("\"") + key + "\" is missing");
  if (!found->is_number()) raise_input_error(where, std::string(key) + " must be a number, not " + found->dump());
  return found->get<double>();
}

Kind read_entry(const json& entry, const std::string& where) {
  if (!entry.is_object())
    raise_input_error(where, "expected an object with \"length\" and \"quantity\", not " + entry.dump());
  for (const auto& [key, value] : entry.items())
    if (key != "length" && key != "quantity" && key != "label")
      raise_input_error(where, "unknown key \"" + key + "\" (expected length, quantity, label)");
  Kind kind;
  kind.origin = where;
  kind.length = checked_length(number_field(entry, "length", where), where);
  const auto quantity = entry.find("quantity");
  if (quantity != entry.end() && quantity->is_number_integer()) {
    // Integers beyond a double's exact range must not round into range.
    if (quantity->is_number_unsigned() ? quantity->get<uint64_t>() > 2147483647u
                                       : quantity->get<int64_t>() > 2147483647)
      raise_input_error(where, "quantity " + quantity->dump() + " is more than 2147483647");
  }
  kind.quantity = checked_quantity(number_field(entry, "quantity", where), where);
  if (const auto label = entry.find("label"); label != entry.end()) {
    if (!label->is_string()) raise_input_error(where, "label must be a string, not " + label->dump());
    kind.label = label->get<std::string>();
  }
  return kind;
}

std::vector<Kind> read_list(const json& document, const char* key, const char* entry_name, const std::string& source) {
  const auto list = document.find(key);
  if (list == document.end()) raise_input_error(source, std::string("\"") + key + "\" is missing");
  if (!list->is_array()) raise_input_error(source, std::string("\"") + key + "\" must be a list, not " + list->dump());
  std::vector<Kind> kinds;
  kinds.reserve(list->size());
  for (std::size_t index = 0; index < list->size(); ++index)
    kinds.push_back(read_entry((*list)[index], source + ": " + entry_name + " " + std::to_string(index + 1)));
  return kinds;
}

json parse_document(std::string_view text, const std::string& source) {
  try {
    return json::parse(text);
  } catch (const json::parse_error& error) {
    raise_input_error(source + ":" + text_position(text, error.byte == 0 ? 0 : error.byte - 1),
                      "invalid JSON: " + parse_reason(error));
  }
}

}  // namespace

Problem parse_problem_json(std::string_view text, const std::string& source) {
  const json document = parse_document(text, source);
  if (!document.is_object()) raise_input_error(source, "expected an object with \"stock\" and \"items\"");
  for (const auto& [key, value] : document.items())
    if (key != "stock" && key != "items")
      raise_input_error(source, "unknown key \"" + key + "\" (expected stock, items)");
  Problem problem;
  problem.stock = read_list(document, "stock", "stock", source);
  problem.items = read_list(document, "items", "item", source);
  problem.stock_source = source;
  problem.items_source = source;
  return problem;
}

Problem read_problem_json(const std::string& path) { return parse_problem_json(read_input_file(path), path); }

std::vector<Kind> parse_kind_list_json(std::string_view text, const std::string& source, const char* key,
                                       const char* entry_name) {
  const json document = parse_document(text, source);
  if (!document.is_object()) raise_input_error(source, std::string("expected an object with \"") + key + "\"");
  for (const auto& [name, value] : document.items())
    if (name != key) raise_input_error(source, "unknown key \"" + name + "\" (expected " + key + ")");
  return read_list(document, key, entry_name, source);
}

}  // namespace krelvo::cli
