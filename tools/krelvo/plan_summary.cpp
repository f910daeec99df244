#include "plan_summary.hpp"

#include <map>
#include <utility>

#include "lower_bound.hpp"

namespace krelvo::cli {

std::vector<PatternGroup> group_patterns(const CuttingPlan& plan) {
  std::vector<PatternGroup> groups;
  std::map<std::pair<std::size_t, std::vector<std::size_t>>, std::size_t> group_of;
  for (std::size_t bar = 0; bar < plan.bars.size(); ++bar) {
    const CutBar& cut = plan.bars[bar];
    const auto [found, added] = group_of.try_emplace({cut.stock, cut.pieces}, groups.size());
    if (added) groups.push_back({bar, 0});
    ++groups[found->second].count;
  }
  return groups;
}

std::optional<int64_t> problem_lower_bound(const Problem& problem, const TransformedProblem& transformed) {
  const OptimizerInput& input = transformed.input;
  double capacity = 0.0;
  for (std::size_t kind = 0; kind < input.stock_lengths.size(); ++kind) {
    if (kind > 0 && input.stock_lengths[kind] != capacity) return std::nullopt;
    capacity = input.stock_lengths[kind];
    if (problem.stock[transformed.user_stock[kind]].quantity == 0) break;  // later kinds are never used
  }
  std::vector<SizeCount> pieces;
  for (std::size_t kind = 0; kind < input.item_lengths.size(); ++kind)
    pieces.push_back({input.item_lengths[kind], input.item_quantities[kind]});
  return bar_lower_bound(pieces, capacity);
}

PlanSummary summarize(const Problem& problem, const TransformedProblem& transformed, const CuttingPlan& plan) {
  PlanSummary summary;
  summary.bars_per_stock.assign(problem.stock.size(), 0);
  for (std::size_t bar = 0; bar < plan.bars.size(); ++bar) {
    const CutBar& cut = plan.bars[bar];
    ++summary.bars_per_stock[cut.stock];
    summary.leftover += cut.leftover;
    // The last bar's rest is not waste: it goes back to the rack.
    if (bar + 1 < plan.bars.size()) summary.waste += cut.leftover;
    summary.stock_length += transformed.stock_units[cut.stock];
    for (std::size_t item : cut.pieces) summary.pieces_length += transformed.item_units[item];
  }
  if (summary.stock_length > 0.0) summary.utilisation = summary.pieces_length / summary.stock_length;
  summary.lower_bound = problem_lower_bound(problem, transformed);
  return summary;
}

}  // namespace krelvo::cli
