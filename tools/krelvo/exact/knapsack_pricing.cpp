#include "knapsack_pricing.hpp"

#include <algorithm>

namespace krelvo::cli::exact {

namespace {

// Each kind's demand split into 1, 2, 4, ... copies; calls `add(kind, multiplicity)`.
template <class Add>
void split_into_copies(const CuttingInstance& instance, Add add) {
  for (std::size_t kind = 0; kind < instance.sizes.size(); ++kind) {
    // More copies than fit on one bar are never taken.
    int64_t left = std::min(instance.demands[kind], instance.capacity / instance.sizes[kind]);
    for (int64_t part = 1; left > 0; part *= 2) {
      const int64_t multiplicity = std::min(part, left);
      add(kind, multiplicity);
      left -= multiplicity;
    }
  }
}

}  // namespace

bool KnapsackPricing::fits(const CuttingInstance& instance) {
  if (instance.capacity > kMaxCapacity) return false;
  int64_t copies = 0;
  split_into_copies(instance, [&](std::size_t, int64_t) { ++copies; });
  return copies <= kMaxTableBits / (instance.capacity + 1);
}

KnapsackPricing::KnapsackPricing(const CuttingInstance& instance) : instance_(instance) {
  split_into_copies(instance, [&](std::size_t kind, int64_t multiplicity) {
    copies_.push_back({kind, static_cast<int32_t>(multiplicity)});
  });
  const auto lengths = static_cast<std::size_t>(instance.capacity) + 1;
  best_.assign(lengths, 0.0);
  words_per_copy_ = (lengths + 63) / 64;
  taken_.assign(copies_.size() * words_per_copy_, 0);
}

double KnapsackPricing::solve(std::span<const double> values, Pattern& pattern) {
  const auto capacity = static_cast<std::size_t>(instance_.capacity);
  std::fill(best_.begin(), best_.end(), 0.0);
  std::fill(taken_.begin(), taken_.end(), 0);
  for (std::size_t copy = 0; copy < copies_.size(); ++copy) {
    const Copy& item = copies_[copy];
    const double value = values[item.kind] * item.multiplicity;
    if (value <= 0.0) continue;
    const auto weight = static_cast<std::size_t>(instance_.sizes[item.kind] * item.multiplicity);
    uint64_t* const taken = taken_.data() + copy * words_per_copy_;
    for (std::size_t length = capacity; length >= weight; --length) {
      const double with = best_[length - weight] + value;
      if (with > best_[length]) {
        best_[length] = with;
        taken[length / 64] |= uint64_t{1} << (length % 64);
      }
    }
  }
  pattern.assign(instance_.sizes.size(), 0);
  std::size_t length = capacity;
  for (std::size_t copy = copies_.size(); copy-- > 0;) {
    if ((taken_[copy * words_per_copy_ + length / 64] >> (length % 64) & 1U) == 0) continue;
    const Copy& item = copies_[copy];
    pattern[item.kind] += item.multiplicity;
    length -= static_cast<std::size_t>(instance_.sizes[item.kind] * item.multiplicity);
  }
  return best_[capacity];
}

}  // namespace krelvo::cli::exact
