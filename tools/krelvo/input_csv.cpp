#include "input_csv.hpp"

#include <algorithm>
#include <cctype>
#include <optional>

#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

enum class Column { kLength, kQuantity, kLabel };

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// One line split at commas outside quotes; quotes are removed and "" becomes ".
std::vector<std::string> split_fields(std::string_view line, const std::string& where) {
  std::vector<std::string> fields(1);
  bool in_quotes = false;
  for (std::size_t at = 0; at < line.size(); ++at) {
    const char c = line[at];
    if (in_quotes) {
      if (c != '"') {
        fields.back() += c;
      } else if (at + 1 < line.size() && line[at + 1] == '"') {
        fields.back() += '"';
        ++at;
      } else {
        in_quotes = false;
      }
    } else if (c == '"' && trim_blanks(fields.back()).empty()) {
      fields.back().clear();
      in_quotes = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (in_quotes) raise_input_error(where, "a quoted field is not closed on its line");
  return fields;
}

std::vector<Column> read_header(const std::vector<std::string>& names, const std::string& where) {
  std::vector<Column> columns;
  for (const std::string& raw : names) {
    std::string name(trim_blanks(raw));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    Column column{};
    if (name == "length")
      column = Column::kLength;
    else if (name == "quantity")
      column = Column::kQuantity;
    else if (name == "label")
      column = Column::kLabel;
    else
      raise_input_error(
          where, "unknown column " + quoted(raw) + " in the header (expected length, quantity and optionally label)");
    if (std::find(columns.begin(), columns.end(), column) != columns.end())
      raise_input_error(where, "column " + quoted(name) + " appears twice in the header");
    columns.push_back(column);
  }
  for (const auto& [column, name] : {std::pair{Column::kLength, "length"}, {Column::kQuantity, "quantity"}})
    if (std::find(columns.begin(), columns.end(), column) == columns.end())
      raise_input_error(where, std::string("the header has no column \"") + name +
                                   "\" (expected length, quantity and optionally label)");
  return columns;
}

Kind read_row(const std::vector<std::string>& fields, const std::vector<Column>& columns, const std::string& where) {
  if (fields.size() != columns.size())
    raise_input_error(where, "expected " + std::to_string(columns.size()) + " fields as in the header, found " +
                                 std::to_string(fields.size()));
  Kind kind;
  kind.origin = where;
  for (std::size_t index = 0; index < columns.size(); ++index) {
    switch (columns[index]) {
      case Column::kLength:
        kind.length_text = std::string(trim_blanks(fields[index]));
        if (kind.length_text.starts_with('+')) kind.length_text.erase(0, 1);
        kind.length = checked_length(token_value(kind.length_text, "length", where), where);
        break;
      case Column::kQuantity:
        kind.quantity = checked_quantity_text(trim_blanks(fields[index]), where);
        break;
      case Column::kLabel:
        kind.label = std::string(trim_blanks(fields[index]));
        if (!is_valid_utf8(kind.label)) raise_input_error(where, "the label is not UTF-8 text");
        break;
    }
  }
  return kind;
}

}  // namespace

std::vector<Kind> parse_kinds_csv(std::string_view text, const std::string& source) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::optional<std::vector<Column>> columns;
  std::vector<Kind> kinds;
  std::size_t line_number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++line_number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (trim_blanks(line).empty()) continue;
    const std::string where = source + ":" + std::to_string(line_number);
    const std::vector<std::string> fields = split_fields(line, where);
    if (!columns)
      columns = read_header(fields, where);
    else
      kinds.push_back(read_row(fields, *columns, where));
  }
  if (!columns) raise_input_error(source, "the file is empty (expected a header row such as length,quantity,label)");
  return kinds;
}

std::vector<Kind> read_kinds_csv(const std::string& path) {
  return parse_kinds_csv(read_input_file(path), input_name(path));
}

}  // namespace krelvo::cli
