// The plan as CSV: one row per piece of every bar (a bar without pieces gets
// one row with the piece columns empty).
#pragma once

#include <string>

#include "report.hpp"

namespace krelvo::cli {

std::string render_csv(const Report& report);

// A field as RFC 4180 wants it: quoted when it holds a comma, a quote, a line
// break or blanks at either end.
std::string csv_field(const std::string& text);
// A label as a field a spreadsheet shows as text: one that would start a
// formula (=, +, -, @, tab, carriage return) gets a leading apostrophe.
std::string csv_label(const std::string& label);

}  // namespace krelvo::cli
