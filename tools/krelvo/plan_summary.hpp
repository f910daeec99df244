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
  bool proven_optimal = false;  // the plan's bars meet the bound
  bool bound_cut_short = false;  // the LP bound ran out of time; the bound may be weaker
};

// A bound found by a solver (the LP bound, an exact search), to be taken with
// the combinatorial ones.
struct SolverBound {
  int64_t bars = 0;
  bool cut_short = false;
};

PlanSummary summarize(const Problem& problem, const TransformedProblem& transformed, const CuttingPlan& plan,
                      std::optional<SolverBound> solver_bound = std::nullopt);

// The one length of every stock bar in reach, in units, if they share one.
std::optional<double> capacity_in_reach(const Problem& problem, const TransformedProblem& transformed);

// The least number of bars any plan needs, when all stock in reach has one length.
std::optional<int64_t> problem_lower_bound(const Problem& problem, const TransformedProblem& transformed);

}  // namespace krelvo::cli
