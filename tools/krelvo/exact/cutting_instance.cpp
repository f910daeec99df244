#include "cutting_instance.hpp"

#include <algorithm>
#include <cmath>

#include "automation/error.hpp"

namespace krelvo::cli::exact {
namespace {

// 2^53: beyond it a double no longer holds every integer.
constexpr double kLargestExact = 9007199254740992.0;

std::optional<int64_t> whole(double value) {
  if (!(value >= 0.0 && value <= kLargestExact) || std::floor(value) != value) return std::nullopt;
  return static_cast<int64_t>(value);
}

}  // namespace

std::optional<CuttingInstance> integral_instance(const OptimizerInput& input, double capacity) {
  CuttingInstance instance;
  const auto bar = whole(capacity);
  if (!bar || *bar <= 0) return std::nullopt;
  instance.capacity = *bar;
  for (std::size_t kind = 0; kind < input.item_lengths.size(); ++kind) {
    const auto size = whole(input.item_lengths[kind]);
    if (!size || *size <= 0 || *size > instance.capacity) return std::nullopt;
    instance.sizes.push_back(*size);
    instance.demands.push_back(input.item_quantities[kind]);
  }
  return instance;
}

int64_t pattern_leftover(const CuttingInstance& instance, const Pattern& pattern) {
  int64_t used = 0;
  for (std::size_t kind = 0; kind < pattern.size(); ++kind) used += instance.sizes[kind] * pattern[kind];
  return instance.capacity - used;
}

void drop_surplus(const CuttingInstance& instance, std::vector<Pattern>& patterns) {
  for (std::size_t kind = 0; kind < instance.sizes.size(); ++kind) {
    int64_t surplus = -instance.demands[kind];
    for (const Pattern& pattern : patterns) surplus += pattern[kind];
    if (surplus < 0) automation::raise_invalid_argument("the solver's plan misses pieces");
    for (Pattern& pattern : patterns) {
      const auto drop = static_cast<int32_t>(std::min<int64_t>(surplus, pattern[kind]));
      pattern[kind] -= drop;
      surplus -= drop;
    }
  }
  std::erase_if(patterns, [](const Pattern& pattern) {
    return std::all_of(pattern.begin(), pattern.end(), [](int32_t count) { return count == 0; });
  });
}

}  // namespace krelvo::cli::exact
