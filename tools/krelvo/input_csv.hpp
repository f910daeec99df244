// Item and stock lists as CSV, as spreadsheets export them: a header row
// naming the columns (in any order, any case, with the usual aliases), then
// one kind per row. Fields are separated by ',', ';' or tab, found from the
// header; quoted fields ("" for a quote) may hold separators and line breaks.
// With ';' or tab a number may have a decimal comma, with ',' only when quoted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli {

struct CsvFormat {
  char delimiter = '\0';       // '\0': the most frequent of ',', ';', tab in the header
  bool decimal_comma = false;  // every number has a decimal comma; a point is refused
};

struct KindList {
  std::vector<Kind> kinds;
  std::vector<std::string> warnings;  // columns not used, at most one line
};

// `source` names the text in messages ("items.csv:4: ...").
KindList parse_kinds_csv(std::string_view text, const std::string& source, const CsvFormat& format = {});

// "-" reads standard input.
KindList read_kinds_csv(const std::string& path, const CsvFormat& format = {});

}  // namespace krelvo::cli
