#include <gtest/gtest.h>

#include <numeric>

#include "arc_flow_graph.hpp"
#include "bin_packing_oracle.hpp"
#include "exact_search.hpp"
#include "leftover_concentration.hpp"

namespace krelvo::cli::exact {
namespace {

using testing::all_patterns;
using testing::fewest_bars;
using testing::one_piece_per_bar;
using testing::random_instance;

// Each piece cut exactly once, no bar overfilled, no empty bar.
void expect_valid_plan(const CuttingInstance& instance, const std::vector<Pattern>& plan) {
  std::vector<int64_t> cut(instance.sizes.size(), 0);
  for (const Pattern& bar : plan) {
    ASSERT_EQ(bar.size(), instance.sizes.size());
    EXPECT_GE(pattern_leftover(instance, bar), 0);
    EXPECT_LT(pattern_leftover(instance, bar), instance.capacity);
    for (std::size_t kind = 0; kind < bar.size(); ++kind) {
      EXPECT_GE(bar[kind], 0);
      cut[kind] += bar[kind];
    }
  }
  EXPECT_EQ(cut, instance.demands);
}

int64_t waste(const CuttingInstance& instance, const std::vector<Pattern>& plan) {
  int64_t total = 0;
  for (std::size_t bar = 0; bar + 1 < plan.size(); ++bar) total += pattern_leftover(instance, plan[bar]);
  return total;
}

ExactSettings generous() {
  ExactSettings settings;
  settings.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  return settings;
}

TEST(ArcFlowGraph, HoldsEveryPatternAsAPathLongestPieceFirst) {
  std::mt19937 generator(17);
  for (int round = 0; round < 60; ++round) {
    const CuttingInstance instance = random_instance(generator, 1 + round % 5, 8 + round % 25, 4);
    const auto graph = build_arc_flow_graph(instance, 1'000'000);
    ASSERT_TRUE(graph.has_value());
    // Longest first; kinds of one size in their own order.
    std::vector<std::size_t> order(instance.sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return instance.sizes[a] > instance.sizes[b]; });
    for (const Pattern& pattern : all_patterns(instance)) {
      int32_t node = 0;
      for (const std::size_t kind : order)
        for (int32_t piece = 0; piece < pattern[kind]; ++piece) {
          const auto arc = std::find_if(graph->arcs.begin(), graph->arcs.end(), [&](const Arc& candidate) {
            return candidate.tail == node && candidate.kind == static_cast<int32_t>(kind);
          });
          ASSERT_NE(arc, graph->arcs.end()) << "round " << round;
          EXPECT_EQ(graph->node_lengths[static_cast<std::size_t>(arc->head)] -
                        graph->node_lengths[static_cast<std::size_t>(node)],
                    instance.sizes[kind]);
          node = arc->head;
        }
    }
  }
}

TEST(ArcFlowGraph, RefusesToGrowBeyondItsArcLimit) {
  std::mt19937 generator(2);
  const CuttingInstance instance = random_instance(generator, 30, 5000, 10);
  EXPECT_FALSE(build_arc_flow_graph(instance, 100).has_value());
}

TEST(ArcFlowGraph, FlowSplitsIntoPatternsWithoutSurplusPieces) {
  // Bars of 10, pieces 4 (demand 3): the flow cuts two bars of 4 + 4, one more piece than asked.
  const CuttingInstance instance{{4}, {3}, 10};
  const auto graph = build_arc_flow_graph(instance, 100);
  ASSERT_TRUE(graph.has_value());
  std::vector<int64_t> flow(graph->arcs.size(), 0);
  for (std::size_t arc = 0; arc < graph->arcs.size(); ++arc) {
    const Arc& step = graph->arcs[arc];
    if (step.kind == 0 && step.tail == 0) flow[arc] = 2;
    if (step.kind == 0 && graph->node_lengths[static_cast<std::size_t>(step.tail)] == 4) flow[arc] = 2;
    if (step.kind < 0 && graph->node_lengths[static_cast<std::size_t>(step.tail)] == 8) flow[arc] = 2;
  }
  const std::vector<Pattern> plan = decompose_flow(instance, *graph, flow);
  expect_valid_plan(instance, plan);
  EXPECT_EQ(plan.size(), 2U);
}

TEST(ExactSearch, FindsTheOptimumOfAnExhaustiveSearchAndProvesIt) {
  std::mt19937 generator(23);
  for (int round = 0; round < 60; ++round) {
    const CuttingInstance instance = random_instance(generator, 1 + round % 5, 10 + round % 50, 3);
    const ExactResult result = solve_exact(instance, one_piece_per_bar(instance), generous());
    expect_valid_plan(instance, result.patterns);
    EXPECT_EQ(static_cast<int64_t>(result.patterns.size()), fewest_bars(instance)) << "round " << round;
    EXPECT_TRUE(result.proven) << "round " << round << ": " << result.note;
    EXPECT_EQ(result.bound, static_cast<int64_t>(result.patterns.size()));
  }
}

// With the arc-flow model out of reach only the LP's patterns are searched: no
// proof of its own, but plans that meet the LP bound prove themselves.
TEST(ExactSearch, WithoutTheArcFlowModelSearchesTheLpPatterns) {
  std::mt19937 generator(43);
  int proven = 0;
  for (int round = 0; round < 40; ++round) {
    const CuttingInstance instance = random_instance(generator, 2 + round % 5, 20 + round % 60, 4);
    ExactSettings settings = generous();
    settings.max_arcs = 0;
    const std::vector<Pattern> incumbent = one_piece_per_bar(instance);
    const ExactResult result = solve_exact(instance, incumbent, settings);
    expect_valid_plan(instance, result.patterns);
    const int64_t optimum = fewest_bars(instance);
    EXPECT_GE(static_cast<int64_t>(result.patterns.size()), optimum);
    EXPECT_LE(result.bound, optimum);
    if (result.proven) {
      EXPECT_EQ(static_cast<int64_t>(result.patterns.size()), optimum) << "round " << round;
      ++proven;
    } else {
      EXPECT_FALSE(result.note.empty());
    }
  }
  EXPECT_GT(proven, 30);
}

TEST(ExactSearch, StopsOnRequestOrDeadlineWithTheIncumbentIntact) {
  std::mt19937 generator(29);
  const CuttingInstance instance = random_instance(generator, 8, 100, 6);
  const std::vector<Pattern> incumbent = one_piece_per_bar(instance);
  for (const bool by_request : {true, false}) {
    SCOPED_TRACE(by_request ? "stop request" : "deadline");
    ExactSettings settings;
    settings.deadline =
        by_request ? std::chrono::steady_clock::now() + std::chrono::hours(1) : std::chrono::steady_clock::now();
    if (by_request) settings.should_stop = [] { return true; };
    const auto started = std::chrono::steady_clock::now();
    const ExactResult result = solve_exact(instance, incumbent, settings);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    expect_valid_plan(instance, result.patterns);
    EXPECT_LE(result.patterns.size(), incumbent.size());
    EXPECT_FALSE(result.proven);
    EXPECT_FALSE(result.note.empty());
    EXPECT_LT(result.bound, static_cast<int64_t>(result.patterns.size()));
  }
}

TEST(ExactSearch, ReportsTheBoundAndTheIncumbentAsItGoes) {
  std::mt19937 generator(31);
  const CuttingInstance instance = random_instance(generator, 6, 50, 4);
  ExactSettings settings = generous();
  std::vector<ExactProgress> reports;
  settings.on_progress = [&](const ExactProgress& progress) { reports.push_back(progress); };
  const ExactResult result = solve_exact(instance, one_piece_per_bar(instance), settings);
  ASSERT_FALSE(reports.empty());
  for (const ExactProgress& progress : reports) EXPECT_LE(progress.bound, progress.bars);
  EXPECT_GT(reports.back().bound, 0);
  EXPECT_TRUE(result.proven);
}

// 5 | 5 3 | 4 3 on bars of 10: swapping the lone 5 for the 3 beside the other
// 5, then moving that 3 beside the 4, empties the last bar: two full bars.
TEST(LeftoverConcentration, SwapsAndMovesPiecesUntilTheLastBarEmpties) {
  const CuttingInstance instance{{3, 4, 5}, {2, 1, 2}, 10};
  std::vector<Pattern> plan{{0, 0, 1}, {1, 0, 1}, {1, 1, 0}};
  concentrate_leftovers(instance, plan);
  expect_valid_plan(instance, plan);
  EXPECT_EQ(plan.size(), 2U);
  EXPECT_EQ(waste(instance, plan), 0);
}

TEST(LeftoverConcentration, LeavesTheLargestRestLastAndNeverAddsWaste) {
  std::mt19937 generator(37);
  for (int round = 0; round < 100; ++round) {
    const CuttingInstance instance = random_instance(generator, 2 + round % 6, 20 + round % 80, 4);
    std::vector<Pattern> plan = one_piece_per_bar(instance);
    std::shuffle(plan.begin(), plan.end(), generator);
    const int64_t before = waste(instance, plan);
    const std::size_t bars = plan.size();
    concentrate_leftovers(instance, plan);
    expect_valid_plan(instance, plan);
    EXPECT_LE(plan.size(), bars);
    EXPECT_LE(waste(instance, plan), before);
    const int64_t last = pattern_leftover(instance, plan.back());
    for (const Pattern& bar : plan) EXPECT_LE(pattern_leftover(instance, bar), last) << "round " << round;
  }
}

}  // namespace
}  // namespace krelvo::cli::exact
