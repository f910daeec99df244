#include <gtest/gtest.h>

#include "plan_summary.hpp"

namespace krelvo::cli {
namespace {

Kind kind(double length, int32_t quantity) { return {length, quantity, {}, {}, {}}; }

TEST(GroupPatterns, CountsIdenticalBarsWhereverTheyStand) {
  CuttingPlan plan;
  plan.bars = {{0, {1, 0}, 0, 0}, {0, {1}, 0, 0}, {0, {1, 0}, 0, 0},
               {1, {1, 0}, 0, 0}, {0, {1}, 0, 0}, {0, {1, 0}, 0, 0}};
  const std::vector<PatternGroup> groups = group_patterns(plan);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].first_bar, 0u);
  EXPECT_EQ(groups[0].count, 3);
  EXPECT_EQ(groups[1].first_bar, 1u);
  EXPECT_EQ(groups[1].count, 2);
  // Same pieces from another stock kind is another pattern.
  EXPECT_EQ(groups[2].first_bar, 3u);
  EXPECT_EQ(groups[2].count, 1);
}

TEST(Summarize, LastBarsRestIsLeftoverButNotWaste) {
  const Problem problem{{kind(10, 1), kind(20, 0)}, {kind(6, 5)}, "s", "i"};
  const TransformedProblem transformed = transform(problem, {});
  // The optimizer's worked example: 6 on the 10, 3 x 6 on a 20, the last 6 on another 20.
  const CuttingPlan plan = map_back(problem, transformed, {6.0, {{1}, {3}, {1}}});
  const PlanSummary summary = summarize(problem, transformed, plan);
  EXPECT_EQ(summary.bars_per_stock, (std::vector<int64_t>{1, 2}));
  EXPECT_EQ(summary.waste, 6.0);
  EXPECT_EQ(summary.leftover, 20.0);
  EXPECT_EQ(summary.pieces_length, 30.0);
  EXPECT_EQ(summary.stock_length, 50.0);
  EXPECT_DOUBLE_EQ(summary.utilisation, 0.6);
  EXPECT_FALSE(summary.lower_bound) << "two stock lengths";
}

TEST(Summarize, BoundForOneStockLengthCountsKerf) {
  // Two pieces of 495 fill a 1000 bar with a cut of up to 10 between them, not with 11.
  const Problem problem{{kind(1000, 0)}, {kind(495, 4)}, "s", "i"};
  EXPECT_EQ(summarize(problem, transform(problem, {}), {}).lower_bound, 2);
  EXPECT_EQ(summarize(problem, transform(problem, {10.0, 0.0}), {}).lower_bound, 2);
  EXPECT_EQ(summarize(problem, transform(problem, {11.0, 0.0}), {}).lower_bound, 4);
}

TEST(Summarize, BoundIgnoresStockNeverReached) {
  const Problem same{{kind(100, 2), kind(100, 0), kind(50, 3)}, {kind(60, 3)}, "s", "i"};
  EXPECT_EQ(problem_lower_bound(same, transform(same, {})), 3);
  const Problem mixed{{kind(100, 2), kind(120, 0)}, {kind(60, 3)}, "s", "i"};
  EXPECT_FALSE(problem_lower_bound(mixed, transform(mixed, {})));
}

}  // namespace
}  // namespace krelvo::cli
