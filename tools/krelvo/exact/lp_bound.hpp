// The Gilmore–Gomory bound: the linear relaxation of the cutting-stock model
// over all bar patterns, solved by column generation with CLP as the master
// solver and exact knapsack pricing.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "cutting_instance.hpp"

namespace krelvo::cli::exact {

struct LpBound {
  // A proven lower bound on the LP optimum (from the last duals, scaled to be
  // feasible, so it holds whatever the LP solver's precision), and its rounding up.
  double value = 0.0;
  int64_t bars = 0;
  // False when the deadline or a stop request ended the generation before the
  // rounded bound was final; `bars` is still a valid bound, only perhaps weaker.
  bool complete = false;
  std::vector<Pattern> patterns;  // the columns generated, for an integer program over them
};

struct LpBoundLimits {
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  std::function<bool()> should_stop;
  // Generation ends as soon as the rounded bound reaches this (a plan with that
  // many bars is in hand, so nothing higher can be proven).
  int64_t enough = INT64_MAX;
};

// Empty when the capacity is too large to price exactly in reasonable memory.
std::optional<LpBound> gilmore_gomory_bound(const CuttingInstance& instance, const LpBoundLimits& limits = {});

}  // namespace krelvo::cli::exact
