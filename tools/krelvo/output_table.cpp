#include "output_table.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

#include "stock_order.hpp"
#include "terminal_text.hpp"

namespace krelvo::cli {
namespace {

// Columns are aligned by characters, not bytes: "×" and labels may be UTF-8.
std::size_t display_width(const std::string& text) {
  std::size_t width = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  return width;
}

std::string pad_left(const std::string& text, std::size_t width) {
  const std::size_t shown = display_width(text);
  return shown >= width ? text : std::string(width - shown, ' ') + text;
}

std::string pad_right(const std::string& text, std::size_t width) {
  const std::size_t shown = display_width(text);
  return shown >= width ? text : text + std::string(width - shown, ' ');
}

std::string stock_name(const Report& report, const Kind& stock, double units) {
  std::string name = report.length(units);
  if (!stock.label.empty()) name += " (" + terminal_text(stock.label) + ")";
  return name;
}

void write_summary(const Report& report, std::ostringstream& out) {
  const PlanSummary& summary = report.summary;
  std::string bars;
  for (std::size_t kind = 0; kind < summary.bars_per_stock.size(); ++kind) {
    if (summary.bars_per_stock[kind] == 0) continue;
    if (!bars.empty()) bars += ", ";
    bars += stock_name(report, report.problem.stock[kind], report.transformed.stock_units[kind]) + " ×" +
            std::to_string(summary.bars_per_stock[kind]);
  }
  out << "Bars:         " << bars << '\n';
  out << "Waste:        " << report.length(summary.waste) << " (leftover of every bar but the last)\n";
  out << "Leftover:     " << report.length(summary.leftover) << " (every bar, the last included)\n";
  if (report.run.keep_offcuts > 0.0)
    out << "Kept:         " << summary.kept_count << (summary.kept_count == 1 ? " offcut, " : " offcuts, ") << report.length(summary.kept) << "; scrap "
        << report.length(summary.scrap) << '\n';
  out << "Utilisation:  " << percent(summary.utilisation) << " (pieces " << report.length(summary.pieces_length)
      << " of stock " << report.length(summary.stock_length) << ")\n";
  if (summary.lower_bound) {
    const int64_t bound = *summary.lower_bound;
    const auto gap = static_cast<int64_t>(report.plan.bars.size()) - bound;
    out << "Lower bound:  " << bars_text(static_cast<std::size_t>(bound)) << "; this plan has " << report.plan.bars.size() << ", gap " << gap;
    if (bound > 0) out << " (" << percent(static_cast<double>(gap) / static_cast<double>(bound)) << ")";
    out << '\n';
    if (summary.proven_optimal) out << "Optimal:      proven, no plan needs fewer bars\n";
  }
}

}  // namespace

std::string bars_text(std::size_t count) { return std::to_string(count) + (count == 1 ? " bar" : " bars"); }

std::string percent(double fraction) {
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.1f %%", 100.0 * fraction);
  return buffer.data();
}

std::string describe_pieces(const Report& report, const CutBar& bar) {
  // Pieces that read alike are counted together, whichever items they are.
  std::vector<std::pair<std::string, std::size_t>> counted;
  for (std::size_t item : bar.pieces) {
    std::string piece = report.length(report.transformed.item_units[item]);
    if (!report.problem.items[item].label.empty()) piece += " (" + terminal_text(report.problem.items[item].label) + ")";
    if (!counted.empty() && counted.back().first == piece)
      ++counted.back().second;
    else
      counted.emplace_back(std::move(piece), 1);
  }
  std::string text;
  for (const auto& [piece, count] : counted) {
    if (!text.empty()) text += ", ";
    text += piece + " ×" + std::to_string(count);
  }
  return text.empty() ? "(no piece)" : text;
}

std::string render_table(const Report& report) {
  std::ostringstream out;
  out << "Cutting plan: " << bars_text(report.plan.bars.size()) << " (level " << report.run.level << ", seed "
      << report.run.seed;
  if (report.run.jobs > 1) out << ", " << report.run.jobs << " jobs";
  out << ")\n";
  if (report.transformed.kerf_units > 0.0 || report.transformed.trim_units > 0.0)
    out << "Saw kerf " << report.length(report.transformed.kerf_units) << ", trim "
        << report.length(report.transformed.trim_units) << " off every bar\n";
  if (report.run.stock_order != "given")
    out << "Stock order: " << report.run.stock_order << ", stock kinds cut in the order " << stock_order_text(report.run.stock_order_used)
        << '\n';
  if (report.interrupted) out << "INTERRUPTED: the best plan found before the run was stopped\n";
  if (report.run.stopped_by_time_limit) out << "STOPPED EARLY: the best plan found within the time limit\n";
  out << '\n';

  // The kept-or-scrap column only when leftovers are kept at all.
  const bool keeping = report.run.keep_offcuts > 0.0;
  std::vector<std::string> headings = {"#", "count", "stock", "used", "leftover"};
  if (keeping) headings.push_back("rest");
  headings.push_back("pieces");
  std::vector<std::vector<std::string>> rows;
  const std::vector<PatternGroup> groups = group_patterns(report.plan);
  for (std::size_t pattern = 0; pattern < groups.size(); ++pattern) {
    const CutBar& bar = report.plan.bars[groups[pattern].first_bar];
    std::vector<std::string> cells = {
        std::to_string(pattern + 1), "×" + std::to_string(groups[pattern].count),
        stock_name(report, report.stock_of(bar), report.transformed.stock_units[bar.stock]), report.length(bar.used),
        report.length(bar.leftover)};
    if (keeping)
      cells.push_back(bar.kept > 0.0 ? "keep " + report.length(bar.kept) : bar.leftover > 0.0 ? "scrap" : "");
    cells.push_back(describe_pieces(report, bar));
    rows.push_back(std::move(cells));
  }
  std::vector<std::size_t> widths(headings.size(), 0);
  for (std::size_t column = 0; column < widths.size(); ++column) {
    widths[column] = display_width(headings[column]);
    for (const auto& row : rows) widths[column] = std::max(widths[column], display_width(row[column]));
  }
  // Figures right-aligned, names left-aligned, the pieces last and unpadded.
  const auto write_row = [&](const std::vector<std::string>& cells) {
    for (std::size_t column = 0; column + 1 < cells.size(); ++column) {
      const bool name = column == 2 || (keeping && column == 5);
      out << "  " << (name ? pad_right(cells[column], widths[column]) : pad_left(cells[column], widths[column]));
    }
    out << "  " << cells.back() << '\n';
  };
  write_row(headings);
  for (const auto& row : rows) write_row(row);
  out << '\n';
  write_summary(report, out);
  return std::move(out).str();
}

}  // namespace krelvo::cli
