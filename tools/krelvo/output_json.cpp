#include "output_json.hpp"

#include <nlohmann/json.hpp>

#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

// ordered_json keeps the keys in the order written.
using json = nlohmann::ordered_json;

// Whole lengths print as integers, others with the decimals of the input.
json length_json(const Report& report, double units) {
  const LengthScale& scale = report.transformed.scale;
  if (const auto whole = scale.whole_user(units)) return *whole;
  return scale.to_user(units);
}

json bar_json(const Report& report, const CutBar& bar, std::size_t pattern) {
  const Kind& stock = report.stock_of(bar);
  json pieces = json::array();
  for (std::size_t item : bar.pieces) {
    json piece = {{"item", item + 1}, {"length", length_json(report, report.transformed.item_units[item])}};
    if (!report.problem.items[item].label.empty()) piece["label"] = report.problem.items[item].label;
    pieces.push_back(std::move(piece));
  }
  json result = {{"pattern", pattern + 1},
                 {"stock", bar.stock + 1},
                 {"length", length_json(report, report.transformed.stock_units[bar.stock])}};
  if (!stock.label.empty()) result["stock_label"] = stock.label;
  result["from_offcut"] = report.from_offcut(bar);
  result["pieces"] = std::move(pieces);
  result["used"] = length_json(report, bar.used);
  result["leftover"] = length_json(report, bar.leftover);
  result["kept"] = bar.kept > 0.0;
  result["kept_length"] = length_json(report, bar.kept);
  result["scrap"] = length_json(report, bar.leftover - bar.kept);
  return result;
}

json summary_json(const Report& report) {
  const PlanSummary& summary = report.summary;
  json bars_per_stock = json::array();
  for (std::size_t kind = 0; kind < summary.bars_per_stock.size(); ++kind)
    bars_per_stock.push_back({{"stock", kind + 1},
                              {"length", length_json(report, report.transformed.stock_units[kind])},
                              {"bars", summary.bars_per_stock[kind]}});
  json result = {{"bars_per_stock", std::move(bars_per_stock)},
                 {"waste", length_json(report, summary.waste)},
                 {"leftover", length_json(report, summary.leftover)},
                 {"kept_length", length_json(report, summary.kept)},
                 {"kept_count", summary.kept_count},
                 {"scrap", length_json(report, summary.scrap)},
                 {"pieces_length", length_json(report, summary.pieces_length)},
                 {"stock_length", length_json(report, summary.stock_length)},
                 {"utilisation", summary.utilisation},
                 {"lower_bound", nullptr},
                 {"gap", nullptr},
                 {"proven_optimal", summary.proven_optimal},
                 {"bound_cut_short", summary.bound_cut_short}};
  if (summary.lower_bound) {
    result["lower_bound"] = *summary.lower_bound;
    result["gap"] = static_cast<int64_t>(report.plan.bars.size()) - *summary.lower_bound;
  }
  return result;
}

}  // namespace

std::string render_json(const Report& report) {
  const std::vector<std::size_t> pattern_of = pattern_of_bars(group_patterns(report.plan), report.plan.bars.size());
  json bars = json::array();
  for (std::size_t bar = 0; bar < report.plan.bars.size(); ++bar)
    bars.push_back(bar_json(report, report.plan.bars[bar], pattern_of[bar]));
  json stopped = nullptr;
  if (report.interrupted) stopped = "interrupt";
  if (report.run.stopped_by_time_limit) stopped = "time-limit";
  json order = json::array();
  for (std::size_t kind : report.run.stock_order_used) order.push_back(kind + 1);
  const json document = {
      {"otpad", length_json(report, report.summary.waste)},
      {"brsipka", report.plan.bars.size()},
      {"interrupted", report.interrupted},
      {"stopped", std::move(stopped)},
      {"level", report.run.level},
      {"seed", report.run.seed},
      {"jobs", report.run.jobs},
      {"stock_order", {{"rule", report.run.stock_order}, {"order", std::move(order)}}},
      {"exact", report.run.exact},
      {"kerf", length_json(report, report.transformed.kerf_units)},
      {"trim", length_json(report, report.transformed.trim_units)},
      {"keep_offcuts", length_json(report, report.run.keep_offcuts)},
      {"bars", std::move(bars)},
      {"summary", summary_json(report)},
  };
  return document.dump(2) + "\n";
}

}  // namespace krelvo::cli
