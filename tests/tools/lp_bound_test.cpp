#include <gtest/gtest.h>

#include <cmath>

#include "bin_packing_oracle.hpp"
#include "knapsack_pricing.hpp"
#include "lower_bound.hpp"
#include "lp_bound.hpp"

namespace krelvo::cli::exact {
namespace {

using testing::all_patterns;
using testing::fewest_bars;
using testing::random_instance;

double pattern_value(const Pattern& pattern, const std::vector<double>& values) {
  double total = 0.0;
  for (std::size_t kind = 0; kind < pattern.size(); ++kind) total += std::max(0.0, values[kind]) * pattern[kind];
  return total;
}

TEST(KnapsackPricing, FindsTheBestPatternOfAnEnumeration) {
  std::mt19937 generator(11);
  std::uniform_real_distribution<double> value(-0.2, 1.0);
  for (int round = 0; round < 200; ++round) {
    const CuttingInstance instance = random_instance(generator, 1 + round % 6, 5 + round % 40, 7);
    std::vector<double> values;
    for (std::size_t kind = 0; kind < instance.sizes.size(); ++kind) values.push_back(value(generator));
    double expected = 0.0;
    for (const Pattern& pattern : all_patterns(instance)) expected = std::max(expected, pattern_value(pattern, values));

    KnapsackPricing pricing(instance);
    Pattern found;
    const double best = pricing.solve(values, found);
    ASSERT_NEAR(best, expected, 1e-9) << "round " << round;
    // The pattern returned is the one valued, and it fits within the demands.
    EXPECT_NEAR(pattern_value(found, values), best, 1e-9);
    EXPECT_GE(pattern_leftover(instance, found), 0);
    for (std::size_t kind = 0; kind < found.size(); ++kind) EXPECT_LE(found[kind], instance.demands[kind]);
  }
}

// The LP bound never exceeds the optimum, never falls below the material bound,
// and meets the optimum where the material bound already does (there the LP is
// tight by necessity).
TEST(GilmoreGomoryBound, LiesBetweenTheMaterialBoundAndTheOptimum) {
  std::mt19937 generator(5);
  int tight = 0;
  for (int round = 0; round < 150; ++round) {
    const CuttingInstance instance = random_instance(generator, 1 + round % 4, 10 + round % 30, 3);
    const int64_t optimum = fewest_bars(instance);
    std::vector<SizeCount> pieces;
    for (std::size_t kind = 0; kind < instance.sizes.size(); ++kind)
      pieces.push_back({static_cast<double>(instance.sizes[kind]), instance.demands[kind]});
    const int64_t material = material_bound(pieces, static_cast<double>(instance.capacity));

    const auto bound = gilmore_gomory_bound(instance);
    ASSERT_TRUE(bound.has_value());
    EXPECT_TRUE(bound->complete);
    EXPECT_LE(bound->bars, optimum) << "round " << round;
    EXPECT_GE(bound->bars, material) << "round " << round;
    EXPECT_EQ(bound->bars, static_cast<int64_t>(std::ceil(bound->value - 1e-6)));
    if (material == optimum) {
      EXPECT_EQ(bound->bars, optimum) << "round " << round;
      ++tight;
    }
  }
  EXPECT_GT(tight, 30);  // the tight case must actually be exercised
}

// Three pieces of 51 and three of 50 on bars of 100: a 51 shares its bar with
// nothing, two 50s fill one. The LP needs 3 + 1.5 bars, so 5, where the
// material bound says 4.
TEST(GilmoreGomoryBound, MeetsAWorkedExample) {
  const CuttingInstance instance{{50, 51}, {3, 3}, 100};
  const auto bound = gilmore_gomory_bound(instance);
  ASSERT_TRUE(bound.has_value());
  EXPECT_NEAR(bound->value, 4.5, 1e-6);
  EXPECT_EQ(bound->bars, 5);
  EXPECT_EQ(fewest_bars(instance), 5);
}

TEST(GilmoreGomoryBound, StopsAtTheDeadlineWithAValidBound) {
  std::mt19937 generator(3);
  const CuttingInstance instance = random_instance(generator, 60, 10'000, 5);
  LpBoundLimits limits;
  limits.deadline = std::chrono::steady_clock::now();  // already passed: one pricing round at most
  const auto cut = gilmore_gomory_bound(instance, limits);
  const auto full = gilmore_gomory_bound(instance);
  ASSERT_TRUE(cut.has_value());
  ASSERT_TRUE(full.has_value());
  EXPECT_TRUE(full->complete);
  EXPECT_LE(cut->bars, full->bars);
  if (!cut->complete) {
    EXPECT_LT(cut->value, full->value + 1e-6);
  }
}

TEST(GilmoreGomoryBound, DeclinesProblemsTooLargeToPrice) {
  // A capacity beyond the limit, and one within it whose decision table (300
  // kinds times 3 million lengths) would not fit the memory allowed.
  CuttingInstance many_kinds{{}, {}, 3'000'000};
  for (int64_t kind = 0; kind < 300; ++kind) {
    many_kinds.sizes.push_back(100'000 + kind);
    many_kinds.demands.push_back(1);
  }
  const CuttingInstance long_bar{{3}, {2}, KnapsackPricing::kMaxCapacity + 1};
  for (const CuttingInstance* instance : {&long_bar, static_cast<const CuttingInstance*>(&many_kinds)}) {
    EXPECT_FALSE(KnapsackPricing::fits(*instance));
    EXPECT_FALSE(gilmore_gomory_bound(*instance).has_value());
  }
  many_kinds.sizes.resize(10);
  many_kinds.demands.resize(10);
  EXPECT_TRUE(KnapsackPricing::fits(many_kinds));
}

}  // namespace
}  // namespace krelvo::cli::exact
