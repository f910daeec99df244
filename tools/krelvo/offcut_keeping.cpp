#include "offcut_keeping.hpp"

#include <algorithm>

namespace krelvo::cli {

void keep_offcuts(CuttingPlan& plan, const TransformedProblem& transformed, double min_length) {
  for (CutBar& bar : plan.bars) {
    bar.kept = 0.0;
    if (min_length <= 0.0) continue;
    // A bar with pieces needs one more cut to free its rest; an untouched bar needs none.
    const double rest = bar.pieces.empty() ? bar.leftover : bar.leftover - transformed.kerf_units;
    if (rest <= 0.0) continue;
    // Compared in the user's unit: the minimum may carry more decimals than the problem's scale.
    const double rest_length = transformed.scale.to_user(rest);
    if (rest_length >= min_length * (1.0 - 1e-12)) bar.kept = rest;
  }
}

void drop_untouched_offcuts(CuttingPlan& plan, const Problem& problem) {
  std::erase_if(plan.bars, [&](const CutBar& bar) { return bar.stock < problem.offcut_kinds && bar.pieces.empty(); });
}

}  // namespace krelvo::cli
