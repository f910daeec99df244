#include "lp_bound.hpp"

#include <ClpSimplex.hpp>
#include <CoinFinite.hpp>
#include <algorithm>
#include <cmath>
#include <vector>

#include "knapsack_pricing.hpp"

namespace krelvo::cli::exact {
namespace {

// Rounding up a value computed in doubles: a bound of 49.9999999 means 50, and
// taking a hair off never makes a bound invalid, only (rarely) one bar weaker.
constexpr double kRoundingSlack = 1e-6;
// Reduced costs below this are noise of the LP solver, not a better pattern.
constexpr double kPricingTolerance = 1e-9;

int64_t round_up(double value) { return static_cast<int64_t>(std::ceil(value - kRoundingSlack)); }

void add_pattern(ClpSimplex& master, const Pattern& pattern, std::vector<Pattern>& columns) {
  columns.push_back(pattern);
  std::vector<int> rows;
  std::vector<double> counts;
  for (std::size_t kind = 0; kind < pattern.size(); ++kind)
    if (pattern[kind] > 0) {
      rows.push_back(static_cast<int>(kind));
      counts.push_back(pattern[kind]);
    }
  master.addColumn(static_cast<int>(rows.size()), rows.data(), counts.data(), 0.0, COIN_DBL_MAX, 1.0);
}

bool out_of_time(const LpBoundLimits& limits) {
  return (limits.should_stop && limits.should_stop()) || std::chrono::steady_clock::now() >= limits.deadline;
}

}  // namespace

std::optional<LpBound> gilmore_gomory_bound(const CuttingInstance& instance, const LpBoundLimits& limits) {
  if (!KnapsackPricing::fits(instance)) return std::nullopt;
  const std::size_t kinds = instance.sizes.size();
  LpBound bound;
  if (kinds == 0) {
    bound.complete = true;
    return bound;
  }

  ClpSimplex master;
  master.setLogLevel(0);
  master.resize(static_cast<int>(kinds), 0);
  for (std::size_t kind = 0; kind < kinds; ++kind) {
    master.setRowLower(static_cast<int>(kind), static_cast<double>(instance.demands[kind]));
    master.setRowUpper(static_cast<int>(kind), COIN_DBL_MAX);
  }
  // One pattern per kind, as many pieces of it as fit: a feasible start.
  for (std::size_t kind = 0; kind < kinds; ++kind) {
    Pattern single(kinds, 0);
    single[kind] = static_cast<int32_t>(std::min(instance.demands[kind], instance.capacity / instance.sizes[kind]));
    add_pattern(master, single, bound.patterns);
  }

  KnapsackPricing pricing(instance);
  std::vector<double> duals(kinds, 0.0);
  Pattern best_pattern;
  master.dual();
  while (true) {
    if (!master.isProvenOptimal()) return bound;  // the LP solver gave up: keep what is proven
    const double* row_duals = master.dualRowSolution();
    double demand_value = 0.0;
    for (std::size_t kind = 0; kind < kinds; ++kind) {
      duals[kind] = std::max(0.0, row_duals[kind]);
      demand_value += duals[kind] * static_cast<double>(instance.demands[kind]);
    }
    const double best_value = pricing.solve(duals, best_pattern);
    // Duals divided by the best pattern's value are feasible for the dual LP,
    // so their objective bounds the LP optimum from below.
    if (best_value > 0.0) bound.value = std::max(bound.value, demand_value / best_value);
    bound.bars = round_up(bound.value);
    const int64_t master_bars = round_up(master.objectiveValue());
    if (best_value <= 1.0 + kPricingTolerance || bound.bars >= master_bars || bound.bars >= limits.enough) {
      bound.complete = true;
      return bound;
    }
    if (out_of_time(limits)) return bound;
    add_pattern(master, best_pattern, bound.patterns);
    master.primal(1);
  }
}

}  // namespace krelvo::cli::exact
