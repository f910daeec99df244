#include "output_csv.hpp"

#include <sstream>
#include <string_view>
#include <vector>

namespace krelvo::cli {

std::string csv_field(const std::string& text) {
  const bool plain = text.find_first_of(",\"\r\n") == std::string::npos &&
                     (text.empty() || (text.front() != ' ' && text.back() != ' '));
  if (plain) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string csv_label(const std::string& label) {
  const bool formula = !label.empty() && std::string_view("=+-@\t\r").find(label.front()) != std::string_view::npos;
  return csv_field(formula ? "'" + label : label);
}

std::string render_csv(const Report& report) {
  std::ostringstream out;
  out << "bar,stock,stock_length,stock_label,item,length,label,used,leftover,pattern,kept,kept_length,scrap\n";
  const std::vector<std::size_t> pattern_of = pattern_of_bars(group_patterns(report.plan), report.plan.bars.size());
  for (std::size_t number = 0; number < report.plan.bars.size(); ++number) {
    const CutBar& bar = report.plan.bars[number];
    const std::string bar_columns = std::to_string(number + 1) + "," + std::to_string(bar.stock + 1) + "," +
                                    report.length(report.transformed.stock_units[bar.stock]) + "," +
                                    csv_label(report.stock_of(bar).label) + ",";
    const std::string bar_figures = "," + report.length(bar.used) + "," + report.length(bar.leftover) + "," +
                                    std::to_string(pattern_of[number] + 1) + "," + (bar.kept > 0.0 ? "yes" : "no") +
                                    "," + report.length(bar.kept) + "," + report.length(bar.leftover - bar.kept) + "\n";
    if (bar.pieces.empty()) out << bar_columns << ",," << bar_figures;
    for (std::size_t item : bar.pieces)
      out << bar_columns << item + 1 << "," << report.length(report.transformed.item_units[item]) << ","
          << csv_label(report.problem.items[item].label) << bar_figures;
  }
  return std::move(out).str();
}

}  // namespace krelvo::cli
