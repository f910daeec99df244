// Figures every output shows: identical bars grouped into patterns, and the
// summary of a plan (bars per stock kind, waste, leftover, utilisation, bound).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli {

// Bars with the same stock kind and the same pieces, in order of first appearance.
struct PatternGroup {
  std::size_t first_bar = 0;  // index into CuttingPlan::bars
  int64_t count = 0;
  std::vector<std::size_t> bars;  // indices into CuttingPlan::bars, ascending
};

std::vector<PatternGroup> group_patterns(const CuttingPlan& plan);

// Per bar of the plan, the index of its pattern in `groups`.
std::vector<std::size_t> pattern_of_bars(const std::vector<PatternGroup>& groups, std::size_t bars);

// Text for a set of bar indices as 1-based numbers with runs joined: "1-3, 7".
std::string bar_numbers_text(const std::vector<std::size_t>& bars);

struct PlanSummary {
  std::vector<int64_t> bars_per_stock;  // per stock kind
  double waste = 0.0;                   // units: leftover of every bar but the last (otpad)
  double leftover = 0.0;                // units: leftover of every bar
  double kept = 0.0;                    // units: offcuts kept of all leftovers
  int64_t kept_count = 0;               // offcuts kept
  double scrap = 0.0;                   // units: leftover - kept (final saw cuts included)
  double pieces_length = 0.0;           // units
  double stock_length = 0.0;            // units: every bar of the plan, whole
  double utilisation = 0.0;             // pieces_length / stock_length
  // Only when every stock bar in reach has one length.
  std::optional<int64_t> lower_bound;
};

PlanSummary summarize(const Problem& problem, const TransformedProblem& transformed, const CuttingPlan& plan);

// The least number of bars any plan needs, when all stock in reach has one length.
std::optional<int64_t> problem_lower_bound(const Problem& problem, const TransformedProblem& transformed);

}  // namespace krelvo::cli
