// Problems for the optimizer tests, written as plain lists; element 0 of every
// array is added here (its value plays no part in any result).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "internal_access.hpp"
#include "krelvo.hpp"
#include "plan.hpp"
#include "plan_memory.hpp"

namespace krelvo::testing {

struct Problem {
  std::vector<double> lengths;  // item kinds 1..n
  std::vector<int32_t> quantities;
  std::vector<double> stock_lengths;  // stock kinds 1..s
  std::vector<int32_t> stock_quantities;
};

template <class T>
SafeArray<T> from_one(const std::vector<T>& values, T element_zero = T{}) {
  std::vector<T> elements{element_zero};
  elements.insert(elements.end(), values.begin(), values.end());
  return SafeArray<T>(0, std::move(elements));
}

inline ProblemInputs inputs_of(const Problem& problem) {
  ProblemInputs inputs;
  inputs.nitem = static_cast<int32_t>(problem.lengths.size());
  inputs.litem = from_one(problem.lengths);
  inputs.mitem = from_one(problem.quantities);
  inputs.lsource = from_one(problem.stock_lengths);
  inputs.msource = from_one(problem.stock_quantities);
  return inputs;
}

inline std::shared_ptr<clsOptimizacija> optimizer_for(const Problem& problem, int32_t razina = 0) {
  auto optimizer = clsOptimizacija::create();
  const ProblemInputs inputs = inputs_of(problem);
  optimizer->put_nitem(inputs.nitem);
  optimizer->put_nsource(static_cast<int32_t>(problem.stock_lengths.size()));
  optimizer->put_litem(inputs.litem);
  optimizer->put_mitem(inputs.mitem);
  optimizer->put_lsource(inputs.lsource);
  optimizer->put_msource(inputs.msource);
  optimizer->put_razina(razina);
  return optimizer;
}

inline OptimizerState& state_of(clsOptimizacija& optimizer) { return InternalAccess::state(optimizer); }

// The plan `rezanje` returned, as rows of counts 0..nitem (row 0 for bar 1).
inline std::vector<std::vector<int32_t>> bars_of(const Variant& rezanje) {
  std::vector<std::vector<int32_t>> bars;
  const auto& plan = rezanje.get<SafeArray<Variant>>();
  if (!plan.has_array()) return bars;
  for (int32_t b = 1; b <= plan.ubound(); ++b) {
    const auto counts = plan.at(b).get<SafeArray<int32_t>>().elements();
    bars.emplace_back(counts.begin(), counts.end());
  }
  return bars;
}

// A plan's rows spread out to the counts 0..nitem, as the host sees them.
inline std::vector<std::vector<int32_t>> bars_of(const Plan& plan) {
  std::vector<std::vector<int32_t>> bars;
  for (int32_t b = 1; b <= plan.bars; ++b) {
    std::vector<int32_t> counts(static_cast<std::size_t>(plan.nitem) + 1, 0);
    for (std::size_t column = 0; column < plan.stride(); ++column)
      counts[static_cast<std::size_t>(plan.item_of_column[column])] = plan.bar(b)[column];
    bars.push_back(std::move(counts));
  }
  return bars;
}

// Lowers the plan memory limit for one test, so that a plan that would grow
// without end fails at once.
class ScopedPlanMemoryLimit {
 public:
  explicit ScopedPlanMemoryLimit(std::size_t bytes) { set_plan_memory_limit_bytes(bytes); }
  ~ScopedPlanMemoryLimit() { set_plan_memory_limit_bytes(0); }
  ScopedPlanMemoryLimit(const ScopedPlanMemoryLimit&) = delete;
  ScopedPlanMemoryLimit& operator=(const ScopedPlanMemoryLimit&) = delete;
};

// Every plan of this problem has the same waste (two bars, each filled
// exactly), so every offer ties and every tuning sum is equal.
inline Problem all_plans_tie() { return {{5.0}, {4}, {10.0}, {0}}; }

}  // namespace krelvo::testing
