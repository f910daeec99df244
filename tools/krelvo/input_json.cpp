#include "input_json.hpp"

#include "input_checks.hpp"
#include "json_tree.hpp"

namespace krelvo::cli {
namespace {

// "item 3", "stock 2", "offcut 1": an entry of the list under `list_key`.
const char* entry_name(std::string_view list_key) {
  if (list_key == "items") return "item";
  return list_key == "offcuts" ? "offcut" : "stock";
}

// A number too large or too deep a nesting names its entry ("p.json: item 3");
// other failures name the line and column.
std::string failure_place(const JsonFailure& failure, const std::string& source) {
  const auto& path = failure.path;
  const bool where_unknown = !failure.number.empty() || failure.position.empty();
  if (where_unknown && path.size() >= 2 &&
      (path[0].key == "items" || path[0].key == "stock" || path[0].key == "offcuts") && path[1].key.empty())
    return source + ": " + entry_name(path[0].key) + " " + std::to_string(path[1].index + 1);
  return failure.position.empty() ? source : source + ":" + failure.position;
}

void refuse_duplicate_keys(const JsonValue& object, const std::string& where) {
  if (const std::string* key = object.duplicate_key())
    raise_input_error(where, "the key \"" + *key + "\" appears more than once");
}

const JsonValue& number_member(const JsonValue& entry, const char* key, const std::string& where) {
  const JsonValue* found = entry.find(key);
  if (found == nullptr) raise_input_error(where, std::string("\"") + key + "\" is missing");
  if (found->type != JsonValue::Type::kNumber)
    raise_input_error(where, std::string(key) + " must be a number, not " + found->excerpt());
  return *found;
}

Kind read_entry(const JsonValue& entry, const std::string& where) {
  if (entry.type != JsonValue::Type::kObject)
    raise_input_error(where, "expected an object with \"length\" and \"quantity\", not " + entry.excerpt());
  for (const auto& [key, value] : entry.members)
    if (key != "length" && key != "quantity" && key != "label")
      raise_input_error(where, "unknown key \"" + key + "\" (expected length, quantity, label)");
  refuse_duplicate_keys(entry, where);
  Kind kind;
  kind.origin = where;
  const JsonValue& length = number_member(entry, "length", where);
  kind.length = checked_length(token_value(length.text, "length", where), where);
  kind.length_text = length.text;
  kind.quantity = checked_quantity_text(number_member(entry, "quantity", where).text, where);
  if (const JsonValue* label = entry.find("label")) {
    if (label->type != JsonValue::Type::kString)
      raise_input_error(where, "label must be a string, not " + label->excerpt());
    kind.label = label->text;
  }
  return kind;
}

std::vector<Kind> read_list(const JsonValue& document, const char* key, const std::string& source) {
  const JsonValue* list = document.find(key);
  if (list == nullptr) raise_input_error(source, std::string("\"") + key + "\" is missing");
  if (list->type != JsonValue::Type::kArray)
    raise_input_error(source, std::string("\"") + key + "\" must be a list, not " + list->excerpt());
  std::vector<Kind> kinds;
  kinds.reserve(list->elements.size());
  for (std::size_t index = 0; index < list->elements.size(); ++index)
    kinds.push_back(
        read_entry(list->elements[index], source + ": " + entry_name(key) + " " + std::to_string(index + 1)));
  return kinds;
}

// Reads the document and refuses anything but an object; failures name
// the place they were found.
JsonValue parse_document(std::string_view text, const std::string& source, const std::string& expected) {
  JsonValue document;
  JsonFailure failure;
  if (!parse_json(text, document, failure)) {
    const std::string where = failure_place(failure, source);
    if (!failure.number.empty()) raise_input_error(where, "the number " + failure.number + " is too large");
    raise_input_error(where, "invalid JSON: " + failure.reason);
  }
  if (document.type != JsonValue::Type::kObject) raise_input_error(source, "expected an object with " + expected);
  return document;
}

}  // namespace

Problem parse_problem_json(std::string_view text, const std::string& source) {
  const JsonValue document = parse_document(text, source, "\"stock\" and \"items\"");
  for (const auto& [key, value] : document.members)
    if (key != "stock" && key != "items")
      raise_input_error(source, "unknown key \"" + key + "\" (expected stock, items)");
  refuse_duplicate_keys(document, source);
  Problem problem;
  problem.stock = read_list(document, "stock", source);
  problem.items = read_list(document, "items", source);
  problem.stock_source = source;
  problem.items_source = source;
  return problem;
}

Problem read_problem_json(const std::string& path) {
  return parse_problem_json(read_input_file(path), input_name(path));
}

std::vector<Kind> parse_kind_list_json(std::string_view text, const std::string& source, const char* key) {
  const JsonValue document = parse_document(text, source, std::string("\"") + key + "\"");
  for (const auto& [name, value] : document.members)
    if (name != key) raise_input_error(source, "unknown key \"" + name + "\" (expected " + key + ")");
  refuse_duplicate_keys(document, source);
  return read_list(document, key, source);
}

}  // namespace krelvo::cli
