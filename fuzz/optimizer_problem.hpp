// A problem as a fuzz target hands it to clsOptimizacija, and a bound of the
// work one call on it takes, so a target can keep every input under a second.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "automation/safe_array.hpp"
#include "krelvo.hpp"

namespace fuzz {

struct Problem {
  int32_t nitem = 0;
  automation::SafeArray<double> litem;
  automation::SafeArray<int32_t> mitem;
  automation::SafeArray<double> lsource;
  automation::SafeArray<int32_t> msource;
};

// Plans built by `test`: its counter is 16-bit, so outside that range the
// call fails after the first plan.
inline int64_t plans_of_test(int32_t iter) {
  if (iter < -32768 || iter > 32767) return 1;
  return 1 + std::max(iter, 0);
}

// Plans built by `pokreni`, at most; with prekid set the level stops at its
// first checkpoint.
inline int64_t plans_of_level(int32_t razina, bool prekid) {
  switch (razina) {
    case krelvo::brza:
      return prekid ? 11 : 101;
    case krelvo::standardna:
      return prekid ? 21 : 1501;
    case krelvo::jaka:
      return prekid ? 102 : 14501;
    case krelvo::vrlojaka:
      return prekid ? 102 : 54501;
    default:
      return 0;
  }
}

// The steps (work_of) a fuzz target lets one call take: about half a second
// with the sanitizers and the fuzzer's instrumentation, where a step costs up
// to 0.3 µs.
inline constexpr double kWorkBudget = 2e6;

// What a bar costs besides its trials (its running sums, tables and greedy
// phase), in steps: under the sanitizers about 5 µs a bar. Without it the
// bound let through plans of 33 000 and 65 000 bars of one piece each, which
// took over a second there (and 14 ms a plan in the normal build).
inline constexpr double kStepsPerBar = 20;

// An upper bound of the steps (a draw, an item kind scanned) of `plans`
// plans: every bar makes its trials, each a scan over the item kinds, even a
// bar that stays empty (every trial still draws once). A plan has at most a
// bar per piece plus the bars of the limited stock kinds.
inline double work_of(const Problem& problem, int64_t plans, int32_t ntrial) {
  double pieces = 0;
  int32_t kinds_given = 0;
  if (problem.mitem.dimensions() == 1)
    for (int32_t kind = 1; kind <= problem.nitem && problem.mitem.contains(kind); ++kind, ++kinds_given)
      pieces += std::max(problem.mitem.at(kind), 0);
  // A total demand beyond 32 bits fails before the first plan.
  if (pieces > std::numeric_limits<int32_t>::max()) return 0;
  double limited_bars = 0;
  if (problem.msource.dimensions() == 1)
    for (int32_t kind = 1; problem.msource.contains(kind) && problem.msource.at(kind) > 0; ++kind)
      limited_bars += problem.msource.at(kind);
  // A missing item kind ends the call before any plan.
  const double kinds = kinds_given + 2.0;
  return static_cast<double>(plans) * (pieces + limited_bars) * (kinds * std::max(ntrial, 1) + kStepsPerBar);
}

}  // namespace fuzz
