// Plan construction, checked on both builders: the worked examples (they do
// not depend on the draws), the failures, and the decided mends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "automation/error.hpp"
#include "plan_builder.hpp"
#include "problem_fixtures.hpp"
#include "raises_automation_error.hpp"
#include "reference_plan_builder.hpp"

namespace krelvo::testing {
namespace {

using test_support::RaisesAutomationError;
using ::testing::AllOf;
using ::testing::HasSubstr;
using Bars = std::vector<std::vector<int32_t>>;

struct BuilderCase {
  const char* name;
  std::function<std::unique_ptr<PlanConstruction>()> make;
};

class BothBuilders : public ::testing::TestWithParam<BuilderCase> {
 protected:
  double build(const ProblemInputs& inputs, int32_t ngreedy = 0, int32_t ntrial = 100) {
    generator.seed_fixed();
    return builder->build(inputs, ngreedy, ntrial, generator, plan);
  }
  auto build_call(const ProblemInputs& inputs, int32_t ngreedy, int32_t ntrial) {
    return [=, this] { build(inputs, ngreedy, ntrial); };
  }

  std::unique_ptr<PlanConstruction> builder = GetParam().make();
  automation::RandomGenerator generator;
  Plan plan;
};

struct Example {
  const char* name;
  Problem problem;
  int32_t ngreedy;
  Bars bars;
  double waste;
};

TEST_P(BothBuilders, WorkedExamplesGiveTheirPlanAndWaste) {
  const Example examples[] = {
      {"last bar rest is not waste", {{3}, {5}, {10}, {0}}, 0, {{0, 3}, {0, 2}}, 1.0},
      {"exact fit fits", {{5}, {4}, {10}, {0}}, 0, {{0, 2}, {0, 2}}, 0.0},
      {"limited kind then unlimited", {{6}, {5}, {10, 20}, {1, 0}}, 0, {{0, 1}, {0, 3}, {0, 1}}, 6.0},
      {"bar too short stays empty", {{6}, {1}, {4, 10}, {1, 0}}, 0, {{0, 0}, {0, 1}}, 4.0},
      {"greedy then random fills exactly", {{3, 7}, {1, 1}, {10}, {0}}, 1, {{0, 1, 1}}, 0.0},
      // A quantity of 0 or less is an unlimited supply: the second kind is never reached.
      {"negative stock quantity is unlimited",
       {{6}, {5}, {10, 20}, {-1, 0}},
       0,
       {{0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
       16.0},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.name);
    EXPECT_EQ(build(inputs_of(example.problem), example.ngreedy), example.waste);
    EXPECT_EQ(bars_of(plan), example.bars);
  }
}

TEST_P(BothBuilders, ZeroDemandWithoutTrialsIsOneEmptyBar) {
  EXPECT_EQ(build(inputs_of({{3}, {0}, {10}, {0}}), 0, 0), 0.0);
  EXPECT_EQ(bars_of(plan), (Bars{{0, 0}}));
}

struct Failure {
  const char* name;
  ProblemInputs inputs;
  int32_t ntrial;
  int32_t number;
  const char* words;  // the description names what failed
};

ProblemInputs with_item_lower_bound_one() {
  ProblemInputs inputs = inputs_of({{3}, {5}, {10}, {0}});
  inputs.litem = SafeArray<double>(1, {3.0});
  inputs.mitem = SafeArray<int32_t>(1, {5});
  return inputs;
}

TEST_P(BothBuilders, BadInputsFailWithTheirErrorKind) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const Failure failures[] = {
      {"stock exhausted", inputs_of({{6}, {2}, {10}, {1}}), 100, 9, "stock exhausted"},
      {"all quantities 0", inputs_of({{3, 4}, {0, 0}, {10}, {0}}), 100, 9, "total demand 0"},
      {"item arrays from 1", with_item_lower_bound_one(), 100, 9, "0..1"},
      {"every open piece longer than an unlimited bar", inputs_of({{3, 6}, {0, 1}, {4}, {0}}), 100, 9,
       "stock kind 1 (length 4) cannot hold any remaining piece"},
      {"no trials on an unlimited bar", inputs_of({{3}, {1}, {10}, {0}}), 0, 9, "ntrial is 0"},
      {"negative quantity", inputs_of({{3, 4}, {1, -2}, {10}, {0}}), 100, 5, "item kind 2"},
      {"zero length", inputs_of({{0, 4}, {1, 1}, {10}, {0}}), 100, 5, "item kind 1"},
      {"negative length", inputs_of({{3, -4}, {1, 1}, {10}, {0}}), 100, 5, "item kind 2"},
      {"NaN length", inputs_of({{kNaN}, {1}, {10}, {0}}), 100, 5, "item kind 1"},
      {"infinite length", inputs_of({{kInf}, {1}, {10}, {0}}), 100, 5, "item kind 1"},
      {"NaN stock length", inputs_of({{3}, {1}, {kNaN}, {0}}), 100, 6, "stock kind 1"},
      {"infinite stock length after a limited kind", inputs_of({{3}, {4}, {10, kInf}, {1, 0}}), 100, 6, "stock kind 2"},
      {"fill sum overflows", inputs_of({{1e308}, {2}, {1.7e308}, {0}}), 100, 6, "overflows"},
      {"waste sum overflows", inputs_of({{0.7e308}, {1}, {0.6e308, 0.8e308}, {4, 0}}), 100, 6, "Overflow"},
      {"total demand beyond 32 bits", inputs_of({{1, 1}, {2147483647, 1}, {10}, {0}}), 100, 6, "Overflow"},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.name);
    EXPECT_THAT(build_call(failure.inputs, 0, failure.ntrial),
                RaisesAutomationError(failure.number, HasSubstr(failure.words)));
  }
}

TEST_P(BothBuilders, KindsWithoutDemandAndUnreachedStockAreNotChecked) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  // Kind 1 has no pieces to cut, so its NaN length plays no part; stock kind 2 is never reached.
  EXPECT_EQ(build(inputs_of({{kNaN, 4}, {0, 2}, {10, kNaN}, {0, 0}})), 0.0);
  EXPECT_EQ(bars_of(plan), (Bars{{0, 0, 2}}));
}

TEST_P(BothBuilders, APieceLongerThanTheUnlimitedBarEndsThePlanOnceABarStaysEmpty) {
  // The 3 fits, the 7 never does: whichever bar first stays empty ends the run.
  for (const int32_t ngreedy : {0, 1}) {
    EXPECT_THAT(
        build_call(inputs_of({{7, 3}, {1, 1}, {5}, {0}}), ngreedy, 1),
        RaisesAutomationError(9, AllOf(HasSubstr("stock kind 1 (length 5)"), HasSubstr("can never be finished"))));
  }
}

TEST_P(BothBuilders, AStockKindOfNegativeQuantityIsAnUnlimitedSupply) {
  // Taken as a limited kind, its bars would never run out and the plan would
  // grow without end: the low memory limit turns that into a quick error 7.
  const ScopedPlanMemoryLimit limit(1 << 20);
  EXPECT_THAT(build_call(inputs_of({{3, 6}, {0, 1}, {4, 10}, {-2, 1}}), 0, 100),
              RaisesAutomationError(9, AllOf(HasSubstr("stock kind 1 (length 4) cannot hold any remaining piece"),
                                             HasSubstr("its supply is unlimited"))));
}

INSTANTIATE_TEST_SUITE_P(
    Builders, BothBuilders,
    ::testing::Values(BuilderCase{"fast", [] { return std::unique_ptr<PlanConstruction>(new PlanBuilder); }},
                      BuilderCase{"reference",
                                  [] { return std::unique_ptr<PlanConstruction>(new ReferencePlanBuilder); }}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(PlanBuilder, DemandBeyondMemoryIsTheOutOfMemoryError) {
  // 2e9 pieces of length 1 on bars of length 1: a plan of 2e9 bars of 101 counts.
  ProblemInputs inputs;
  inputs.nitem = 100;
  inputs.litem = from_one(std::vector<double>(100, 1.0));
  inputs.mitem = from_one(std::vector<int32_t>(100, 20'000'000));
  inputs.lsource = from_one(std::vector<double>{1.0});
  inputs.msource = from_one(std::vector<int32_t>{0});
  PlanBuilder builder;
  automation::RandomGenerator generator;
  Plan plan;
  EXPECT_THAT([&] { builder.build(inputs, 0, 100, generator, plan); },
              RaisesAutomationError(automation::kErrOutOfMemory));
}

TEST(PlanBuilder, ChangedInputsAreReadAgain) {
  PlanBuilder builder;
  automation::RandomGenerator generator;
  Plan plan;
  ProblemInputs inputs = inputs_of({{3}, {5}, {10}, {0}});
  EXPECT_EQ(builder.build(inputs, 0, 100, generator, plan), 1.0);
  inputs.mitem = from_one(std::vector<int32_t>{3});
  inputs.changed();
  EXPECT_EQ(builder.build(inputs, 0, 100, generator, plan), 0.0);
  EXPECT_EQ(bars_of(plan), (Bars{{0, 3}}));
}

}  // namespace
}  // namespace krelvo::testing
