#include "plan_summary.hpp"

#include <algorithm>
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
    if (added) groups.push_back({bar, 0, {}});
    ++groups[found->second].count;
    groups[found->second].bars.push_back(bar);
  }
  return groups;
}

std::vector<std::size_t> pattern_of_bars(const std::vector<PatternGroup>& groups, std::size_t bars) {
  std::vector<std::size_t> pattern_of(bars, 0);
  for (std::size_t pattern = 0; pattern < groups.size(); ++pattern)
    for (std::size_t bar : groups[pattern].bars) pattern_of[bar] = pattern;
  return pattern_of;
}

std::string bar_numbers_text(const std::vector<std::size_t>& bars) {
  std::string text;
  for (std::size_t at = 0; at < bars.size();) {
    std::size_t end = at;
    while (end + 1 < bars.size() && bars[end + 1] == bars[end] + 1) ++end;
    if (!text.empty()) text += ", ";
    text += std::to_string(bars[at] + 1);
    if (end > at) text += (end == at + 1 ? ", " : "–") + std::to_string(bars[end] + 1);
    at = end + 1;
  }
  return text;
}

std::optional<double> capacity_in_reach(const Problem& problem, const TransformedProblem& transformed) {
  const OptimizerInput& input = transformed.input;
  double capacity = 0.0;
  for (std::size_t kind = 0; kind < input.stock_lengths.size(); ++kind) {
    if (kind > 0 && input.stock_lengths[kind] != capacity) return std::nullopt;
    capacity = input.stock_lengths[kind];
    if (problem.stock[transformed.user_stock[kind]].quantity == 0) break;  // later kinds are never used
  }
  return capacity;
}

std::optional<int64_t> problem_lower_bound(const Problem& problem, const TransformedProblem& transformed) {
  const OptimizerInput& input = transformed.input;
  const auto capacity = capacity_in_reach(problem, transformed);
  if (!capacity) return std::nullopt;
  std::vector<SizeCount> pieces;
  for (std::size_t kind = 0; kind < input.item_lengths.size(); ++kind)
    pieces.push_back({input.item_lengths[kind], input.item_quantities[kind]});
  return bar_lower_bound(pieces, *capacity);
}

PlanSummary summarize(const Problem& problem, const TransformedProblem& transformed, const CuttingPlan& plan,
                      std::optional<SolverBound> solver_bound) {
  PlanSummary summary;
  summary.bars_per_stock.assign(problem.stock.size(), 0);
  for (std::size_t bar = 0; bar < plan.bars.size(); ++bar) {
    const CutBar& cut = plan.bars[bar];
    ++summary.bars_per_stock[cut.stock];
    summary.leftover += cut.leftover;
    summary.kept += cut.kept;
    if (cut.kept > 0.0) ++summary.kept_count;
    // The last bar's rest is not waste: it goes back to the rack.
    if (bar + 1 < plan.bars.size()) summary.waste += cut.leftover;
    summary.stock_length += transformed.stock_units[cut.stock];
    for (std::size_t item : cut.pieces) summary.pieces_length += transformed.item_units[item];
  }
  summary.scrap = summary.leftover - summary.kept;
  if (summary.stock_length > 0.0) summary.utilisation = summary.pieces_length / summary.stock_length;
  summary.lower_bound = problem_lower_bound(problem, transformed);
  if (summary.lower_bound && solver_bound) {
    summary.lower_bound = std::max(*summary.lower_bound, solver_bound->bars);
    summary.bound_cut_short = solver_bound->cut_short;
  }
  summary.proven_optimal = summary.lower_bound && static_cast<int64_t>(plan.bars.size()) == *summary.lower_bound;
  return summary;
}

}  // namespace krelvo::cli
