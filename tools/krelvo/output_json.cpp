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

json bar_json(const Report& report, const CutBar& bar) {
  const Kind& stock = report.stock_of(bar);
  json pieces = json::array();
  for (std::size_t item : bar.pieces) {
    json piece = {{"item", item + 1}, {"length", length_json(report, report.transformed.item_units[item])}};
    if (!report.problem.items[item].label.empty()) piece["label"] = report.problem.items[item].label;
    pieces.push_back(std::move(piece));
  }
  json result = {{"stock", bar.stock + 1}, {"length", length_json(report, report.transformed.stock_units[bar.stock])}};
  if (!stock.label.empty()) result["stock_label"] = stock.label;
  result["pieces"] = std::move(pieces);
  result["used"] = length_json(report, bar.used);
  result["leftover"] = length_json(report, bar.leftover);
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
                 {"pieces_length", length_json(report, summary.pieces_length)},
                 {"stock_length", length_json(report, summary.stock_length)},
                 {"utilisation", summary.utilisation},
                 {"lower_bound", nullptr},
                 {"gap", nullptr}};
  if (summary.lower_bound) {
    result["lower_bound"] = *summary.lower_bound;
    result["gap"] = static_cast<int64_t>(report.plan.bars.size()) - *summary.lower_bound;
  }
  return result;
}

}  // namespace

std::string render_json(const Report& report) {
  json bars = json::array();
  for (const CutBar& bar : report.plan.bars) bars.push_back(bar_json(report, bar));
  json stopped = nullptr;
  if (report.interrupted) stopped = "interrupted";
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
      {"kerf", length_json(report, report.transformed.kerf_units)},
      {"trim", length_json(report, report.transformed.trim_units)},
      {"bars", std::move(bars)},
      {"summary", summary_json(report)},
  };
  return document.dump(2) + "\n";
}

}  // namespace krelvo::cli
