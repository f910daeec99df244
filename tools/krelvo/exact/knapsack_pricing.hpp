// The pricing step of column generation: the bar pattern of greatest total
// value, each item kind at most its demand. Exact, by dynamic programming over
// the bar's units, so its cost grows with the capacity.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "cutting_instance.hpp"

namespace krelvo::cli::exact {

class KnapsackPricing {
 public:
  // Largest capacity priced, and largest decision table (one bit per copy and
  // length: 100 MB); beyond them pricing would take too much time or memory.
  static constexpr int64_t kMaxCapacity = 4'000'000;
  static constexpr int64_t kMaxTableBits = 800'000'000;

  // Whether the instance is within both limits.
  static bool fits(const CuttingInstance& instance);

  explicit KnapsackPricing(const CuttingInstance& instance);

  // The best value of a pattern under `values` (one per item kind, negative
  // ones count as 0) and the pattern itself.
  double solve(std::span<const double> values, Pattern& pattern);

 private:
  struct Copy {
    std::size_t kind = 0;
    int32_t multiplicity = 0;  // copies of the kind bundled in this 0-1 item
  };

  const CuttingInstance& instance_;
  std::vector<Copy> copies_;  // each kind's demand split into 1, 2, 4, ... copies
  std::vector<double> best_;  // per used length, the best value
  // Per copy and used length, whether the copy is taken: one bit each.
  std::vector<uint64_t> taken_;
  std::size_t words_per_copy_ = 0;
};

}  // namespace krelvo::cli::exact
