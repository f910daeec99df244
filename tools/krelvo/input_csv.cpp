#include "input_csv.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

enum class Column { kLength, kQuantity, kLabel, kUnused };

struct ColumnName {
  const char* name;
  Column column;
};

constexpr std::array<ColumnName, 12> kColumnNames = {{{"length", Column::kLength},
                                                       {"len", Column::kLength},
                                                       {"duljina", Column::kLength},
                                                       {"quantity", Column::kQuantity},
                                                       {"qty", Column::kQuantity},
                                                       {"count", Column::kQuantity},
                                                       {"kom", Column::kQuantity},
                                                       {"komada", Column::kQuantity},
                                                       {"label", Column::kLabel},
                                                       {"name", Column::kLabel},
                                                       {"part", Column::kLabel},
                                                       {"naziv", Column::kLabel}}};

const char* canonical_name(Column column) {
  return column == Column::kLength ? "length" : column == Column::kQuantity ? "quantity" : "label";
}

struct Field {
  std::string text;
  bool quoted = false;
};

struct Record {
  std::vector<Field> fields;
  std::size_t line = 0;  // where it starts
};

std::string quoted(std::string_view text) { return "\"" + shortened(text) + "\""; }

// The separator that appears most often outside quotes in the first line.
char detect_delimiter(std::string_view text) {
  std::array<std::size_t, 3> counts{};
  constexpr std::array<char, 3> kCandidates = {',', ';', '\t'};
  bool in_quotes = false;
  for (char c : text) {
    if (c == '"') in_quotes = !in_quotes;
    if (!in_quotes && c == '\n') break;
    for (std::size_t index = 0; index < kCandidates.size(); ++index)
      if (!in_quotes && c == kCandidates[index]) ++counts[index];
  }
  const auto most = std::max_element(counts.begin(), counts.end());
  return *most == 0 ? ',' : kCandidates[static_cast<std::size_t>(most - counts.begin())];
}

// Every record of the text; quoted fields may span lines.
std::vector<Record> split_records(std::string_view text, char delimiter, const std::string& source) {
  std::vector<Record> records;
  Record record{{Field{}}, 1};
  std::size_t line = 1;
  bool in_quotes = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    Field& field = record.fields.back();
    if (in_quotes) {
      if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
        field.text += '"';
        ++at;
      } else if (c == '"') {
        in_quotes = false;
      } else {
        if (c == '\n') ++line;
        field.text += c;
      }
    } else if (c == '"' && trim_blanks(field.text).empty()) {
      field.text.clear();
      field.quoted = in_quotes = true;
    } else if (c == delimiter) {
      record.fields.emplace_back();
    } else if (c == '\n') {
      if (!field.text.empty() && field.text.back() == '\r') field.text.pop_back();
      records.push_back(std::move(record));
      record = Record{{Field{}}, ++line};
    } else {
      field.text += c;
    }
  }
  if (in_quotes)
    raise_input_error(source + ":" + std::to_string(record.line), "a quoted field is not closed by the end of the file");
  if (!record.fields.back().text.empty() && record.fields.back().text.back() == '\r') record.fields.back().text.pop_back();
  records.push_back(std::move(record));
  // Rows of nothing but separators are what spreadsheets write for empty rows.
  std::erase_if(records, [](const Record& candidate) {
    return std::all_of(candidate.fields.begin(), candidate.fields.end(),
                       [](const Field& field) { return !field.quoted && trim_blanks(field.text).empty(); });
  });
  return records;
}

std::vector<Column> read_header(const Record& header, const std::string& where, std::vector<std::string>& warnings) {
  std::vector<Column> columns;
  std::string unused;
  for (const Field& field : header.fields) {
    std::string name(trim_blanks(field.text));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto known = std::find_if(kColumnNames.begin(), kColumnNames.end(),
                                    [&](const ColumnName& candidate) { return name == candidate.name; });
    const Column column = known == kColumnNames.end() ? Column::kUnused : known->column;
    if (column == Column::kUnused) {
      unused += (unused.empty() ? "" : ", ") + quoted(trim_blanks(field.text));
    } else if (std::find(columns.begin(), columns.end(), column) != columns.end()) {
      raise_input_error(where, std::string("the header names the ") + canonical_name(column) + " column twice (" +
                                   quoted(trim_blanks(field.text)) + ")");
    }
    columns.push_back(column);
  }
  if (std::find(columns.begin(), columns.end(), Column::kLength) == columns.end())
    raise_input_error(where,
                      "the header has no column \"length\" (expected length, quantity and label, or their aliases "
                      "len, duljina, qty, count, kom, komada, name, part, naziv)");
  if (!unused.empty()) warnings.push_back(where + ": not used: the columns " + unused);
  return columns;
}

// A number field as written, with a decimal comma turned into a point where the format allows one.
std::string number_token(const Field& field, const CsvFormat& format, const char* name, const std::string& where) {
  std::string token(trim_blanks(field.text));
  if (token.starts_with('+')) token.erase(0, 1);
  if (format.decimal_comma) {
    if (token.find('.') != std::string::npos)
      raise_input_error(where, std::string(name) + " " + quoted(token) +
                                   " is not a number (this list uses , for decimals: --decimal-comma)");
    std::replace(token.begin(), token.end(), ',', '.');
  } else if (format.delimiter != ',' || field.quoted) {
    if (std::count(token.begin(), token.end(), ',') == 1 && token.find('.') == std::string::npos)
      std::replace(token.begin(), token.end(), ',', '.');
  }
  return token;
}

// A label written with a leading apostrophe so a spreadsheet shows it as text reads back without it.
std::string label_text(std::string_view text) {
  if (text.size() >= 2 && text.front() == '\'' && std::string_view("=+-@\t\r").find(text[1]) != std::string_view::npos)
    text.remove_prefix(1);
  return std::string(text);
}

Kind read_row(const Record& record, const std::vector<Column>& columns, const CsvFormat& format,
              const std::string& where) {
  if (record.fields.size() != columns.size())
    raise_input_error(where, "expected " + std::to_string(columns.size()) + " fields as in the header, found " +
                                 std::to_string(record.fields.size()));
  Kind kind;
  kind.origin = where;
  kind.quantity = 1;
  for (std::size_t index = 0; index < columns.size(); ++index) {
    const Field& field = record.fields[index];
    switch (columns[index]) {
      case Column::kLength:
        kind.length_text = number_token(field, format, "length", where);
        kind.length = checked_length(token_value(kind.length_text, "length", where), where);
        break;
      case Column::kQuantity:
        kind.quantity = checked_quantity_text(number_token(field, format, "quantity", where), where);
        break;
      case Column::kLabel:
        kind.label = label_text(trim_blanks(field.text));
        if (!is_valid_utf8(kind.label)) raise_input_error(where, "the label is not UTF-8 text");
        break;
      case Column::kUnused:
        break;
    }
  }
  return kind;
}

}  // namespace

KindList parse_kinds_csv(std::string_view text, const std::string& source, const CsvFormat& format) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  CsvFormat used = format;
  if (used.delimiter == '\0') used.delimiter = detect_delimiter(text);
  const std::vector<Record> records = split_records(text, used.delimiter, source);
  if (records.empty())
    raise_input_error(source, "the file is empty (expected a header row such as length,quantity,label)");
  KindList list;
  const std::vector<Column> columns =
      read_header(records.front(), source + ":" + std::to_string(records.front().line), list.warnings);
  for (std::size_t index = 1; index < records.size(); ++index)
    list.kinds.push_back(read_row(records[index], columns, used, source + ":" + std::to_string(records[index].line)));
  return list;
}

KindList read_kinds_csv(const std::string& path, const CsvFormat& format) {
  return parse_kinds_csv(read_input_file(path), input_name(path), format);
}

}  // namespace krelvo::cli
