// A one-length cutting problem in whole units, as the exact tools take it:
// item kinds in the optimizer's order, so a pattern is a row of the plan.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli::exact {

struct CuttingInstance {
  std::vector<int64_t> sizes;  // per item kind, each 1..capacity
  std::vector<int64_t> demands;
  int64_t capacity = 0;
};

// Pieces per item kind on one bar.
using Pattern = std::vector<int32_t>;

// The instance, when every length is a whole number of units (the scaling made
// them so) and fits a 64-bit integer; empty otherwise.
std::optional<CuttingInstance> integral_instance(const OptimizerInput& input, double capacity);

// Units of the bar a pattern leaves uncut.
int64_t pattern_leftover(const CuttingInstance& instance, const Pattern& pattern);

// Takes pieces beyond the demand off the bars (models that ask for at least the
// demand may cut more) and drops bars left empty.
void drop_surplus(const CuttingInstance& instance, std::vector<Pattern>& patterns);

}  // namespace krelvo::cli::exact
