// Item and stock lists as CSV: a header row naming the columns length,
// quantity and optionally label (in any order), then one kind per row.
// The decimal point is '.'; fields may be quoted with '"' ("" for a quote).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli {

// `source` names the text in messages ("items.csv:4: ...").
std::vector<Kind> parse_kinds_csv(std::string_view text, const std::string& source);

std::vector<Kind> read_kinds_csv(const std::string& path);

}  // namespace krelvo::cli
