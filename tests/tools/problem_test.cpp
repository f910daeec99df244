#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "problem.hpp"
#include "raises_input_error.hpp"

namespace krelvo::cli {
namespace {

Kind kind(double length, int32_t quantity, std::string label = {}) {
  return {length, quantity, std::move(label), "k" + std::to_string(static_cast<int64_t>(length)), {}};
}

Problem problem_of(std::vector<Kind> stock, std::vector<Kind> items) {
  return {std::move(stock), std::move(items), "stock.csv", "items.csv"};
}

TEST(Transform, KerfWidensPiecesAndTrimShortensBars) {
  const Problem problem = problem_of({kind(6000, 0)}, {kind(2150, 4), kind(1200, 13)});
  const TransformedProblem result = transform(problem, {3.0, 10.0});
  // n pieces fit when their lengths and n - 1 cuts fit in the bar less the trim.
  EXPECT_EQ(result.input.item_lengths, (std::vector<double>{1203, 2153}));
  EXPECT_EQ(result.input.item_quantities, (std::vector<int32_t>{13, 4}));
  EXPECT_EQ(result.input.stock_lengths, (std::vector<double>{5993}));
  EXPECT_EQ(result.input.stock_quantities, (std::vector<int32_t>{0}));
}

TEST(Transform, DecimalLengthsBecomeWholeUnitsSoExactFitsStayExact) {
  // In doubles 0.1 + 0.2 > 0.3: the pieces would not fit the bar they fill.
  ASSERT_GT(0.1 + 0.2, 0.3);
  const Problem problem = problem_of({kind(0.3, 0)}, {kind(0.2, 1), kind(0.1, 1)});
  const TransformedProblem result = transform(problem, {});
  EXPECT_EQ(result.scale.decimals(), 1);
  EXPECT_EQ(result.input.item_lengths, (std::vector<double>{1, 2}));
  EXPECT_EQ(result.input.stock_lengths, (std::vector<double>{3}));
  EXPECT_LE(result.input.item_lengths[0] + result.input.item_lengths[1], result.input.stock_lengths[0]);

  const TransformedProblem with_kerf = transform(problem, {0.05, 0.0});
  EXPECT_EQ(with_kerf.scale.decimals(), 2);
  EXPECT_EQ(with_kerf.input.item_lengths, (std::vector<double>{15, 25}));
  EXPECT_EQ(with_kerf.input.stock_lengths, (std::vector<double>{35}));
}

TEST(Transform, ItemsGoAscendingTiesInInputOrder) {
  const Problem problem = problem_of({kind(100, 0)}, {kind(5, 1, "a"), kind(3, 2, "b"), kind(5, 1, "c"), kind(7, 1)});
  const TransformedProblem result = transform(problem, {});
  EXPECT_EQ(result.user_item, (std::vector<std::size_t>{1, 0, 2, 3}));
  EXPECT_EQ(result.input.item_lengths, (std::vector<double>{3, 5, 5, 7}));
  EXPECT_EQ(result.input.item_quantities, (std::vector<int32_t>{2, 1, 1, 1}));
}

struct BadProblem {
  const char* name;
  Problem problem;
  Allowances allowances;
  const char* message;
};

class TransformErrors : public testing::TestWithParam<BadProblem> {};

TEST_P(TransformErrors, AreInputErrorsNamingTheEntry) {
  EXPECT_THAT([] { transform(GetParam().problem, GetParam().allowances); }, RaisesInputError(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransformErrors,
    testing::Values(BadProblem{"EmptyItems", problem_of({kind(10, 0)}, {}), {}, "items.csv: the item list is empty"},
                    BadProblem{"EmptyStock", problem_of({}, {kind(1, 1)}), {}, "stock.csv: the stock list is empty"},
                    BadProblem{"NothingToCut",
                               problem_of({kind(10, 0)}, {kind(1, 0), kind(2, 0)}),
                               {},
                               "items.csv: nothing to cut: every item quantity is 0"},
                    BadProblem{"TooManyPieces",
                               problem_of({kind(10, 0)}, {kind(1, 2147483647), kind(2, 1)}),
                               {},
                               "items.csv: 2147483648 pieces in all, more than 2147483647"},
                    BadProblem{"PieceLongerThanEveryBar",
                               problem_of({kind(6000, 2), kind(5000, 0)}, {kind(1, 1), kind(6001, 1)}),
                               {},
                               "k6001: length 6001 is longer than every stock bar (the longest usable length is 6000)"},
                    BadProblem{"PieceLongerThanTrimmedBar",
                               problem_of({kind(6000, 0)}, {kind(5995, 1)}),
                               {3, 10},
                               "k5995: length 5995 is longer than every stock bar (the longest usable length is 5990)"},
                    BadProblem{"PieceOnlyFitsUnreachableStock",
                               problem_of({kind(6000, 0), kind(12000, 1)}, {kind(7000, 1)}),
                               {},
                               "k7000: length 7000 is longer than every stock bar (the longest usable length is 6000)"},
                    BadProblem{"TrimEatsTheBar",
                               problem_of({kind(6000, 0), kind(8, 1)}, {kind(1, 1)}),
                               {0, 8},
                               "k8: length 8 leaves nothing after the trim 8"},
                    BadProblem{"NegativeKerf",
                               problem_of({kind(10, 0)}, {kind(1, 1)}),
                               {-1, 0},
                               "--kerf: -1 must be a number of 0 or more"},
                    BadProblem{"InfiniteTrim",
                               problem_of({kind(10, 0)}, {kind(1, 1)}),
                               {0, std::numeric_limits<double>::infinity()},
                               "--trim: inf must be a number of 0 or more"}),
    [](const testing::TestParamInfo<BadProblem>& tested) { return tested.param.name; });

TEST(Transform, ZeroQuantityItemsNeedNotFitAndStayOutOfThePlanRows) {
  const Problem problem = problem_of({kind(10, 0)}, {kind(50, 0), kind(4, 1), kind(3, 0)});
  const TransformedProblem result = transform(problem, {});
  EXPECT_EQ(result.input.item_lengths, (std::vector<double>{4}));
  EXPECT_EQ(result.user_item, (std::vector<std::size_t>{1}));
  EXPECT_EQ(map_back(problem, result, {0.0, {{1}}}).bars[0].pieces, (std::vector<std::size_t>{1}));
}

Kind written(const char* text, int32_t quantity, const char* origin) {
  return {std::stod(text), quantity, {}, origin, text};
}

TEST(Transform, LengthsConvertFromTheirTextWithoutRounding) {
  // Within 1e-9 of a whole unit, and beyond what a double tells apart from 1.
  for (const char* text : {"2.0000000009", "1.00000000000000001", "0.000000001"}) {
    SCOPED_TRACE(text);
    const Problem problem = problem_of({kind(10, 0)}, {kind(1, 1), written(text, 5, "items.csv:3")});
    EXPECT_THAT([&] { transform(problem, {}); },
                test_support::RaisesAutomationError(
                    automation::kErrInvalidProcedureCall,
                    testing::AllOf(testing::StartsWith(std::string("items.csv:3: length ") + text + " has "),
                                   testing::EndsWith(" decimals; krelvo works to 6 decimals at most"))));
  }
  const Problem bar = problem_of({written("1000.0000001", 0, "stock.csv:2")}, {kind(1, 1)});
  EXPECT_THAT([&] { transform(bar, {}); },
              RaisesInputError("stock.csv:2: length 1000.0000001 has 7 decimals; krelvo works to 6 decimals at most"));
  EXPECT_THAT(
      [] {
        transform(problem_of({kind(10, 0)}, {kind(1, 1)}), {0.0000001, 0});
      },
      RaisesInputError("--kerf: length 1e-07 has 7 decimals; krelvo works to 6 decimals at most"));
  const Problem huge = problem_of({written("2e15", 0, "stock.csv:2")}, {kind(1, 1)});
  EXPECT_THAT([&] { transform(huge, {}); },
              RaisesInputError("stock.csv:2: length 2e15 is too large to compute with exactly"));

  const Problem fine = problem_of({written("10", 0, "s")}, {written("2.000001", 5, "i")});
  const TransformedProblem result = transform(fine, {});
  EXPECT_EQ(result.input.item_lengths, (std::vector<double>{2000001}));
  EXPECT_EQ(result.input.stock_lengths, (std::vector<double>{10000000}));
}

TEST(Transform, LimitedStockTooSmallForTheDemandIsSaidInTheUsersUnits) {
  const Problem one_length = problem_of({kind(6000, 1)}, {kind(4000, 3), kind(2000, 1)});
  EXPECT_THAT(
      [&] { transform(one_length, {}); },
      RaisesInputError(
          "stock.csv: the items need at least 3 bars of 6000 (18 000 in all), but only 1 bar of 6000 is in stock"));
  const Problem two_lengths = problem_of({kind(6000, 1), kind(3500, 2)}, {kind(3000, 5)});
  EXPECT_THAT(
      [&] { transform(two_lengths, {}); },
      RaisesInputError(
          "stock.csv: the items need at least 15 000 of stock in all, but the stock in hand offers only 13 000: "
          "1 bar of 6000 and 2 bars of 3500"));
  // An unlimited kind in reach, or enough bars: no complaint.
  EXPECT_NO_THROW(transform(problem_of({kind(6000, 1), kind(6000, 0)}, {kind(4000, 3)}), {}));
  EXPECT_NO_THROW(transform(problem_of({kind(6000, 2)}, {kind(3000, 4)}), {}));
}

TEST(Transform, WarnsOfStockNeverReached) {
  const Problem problem = problem_of({kind(10, 2), kind(20, 0), kind(30, 5)}, {kind(4, 1)});
  const TransformedProblem result = transform(problem, {});
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_EQ(result.warnings[0],
            "k30: this and later stock kinds are never used, because k20 is unlimited (quantity 0)");
}

TEST(MapBack, FollowsConsumptionOrderAndUserNumbering) {
  const Problem problem = problem_of({kind(10, 1), kind(20, 2), kind(30, 0)}, {kind(6, 3, "six"), kind(4, 5, "four")});
  const TransformedProblem transformed = transform(problem, {});
  // Optimizer kinds: 1 = length 4 (user item 2), 2 = length 6 (user item 1).
  const OptimizerPlan plan{0.0, {{1, 1}, {2, 2}, {2, 0}, {0, 0}, {0, 0}}};
  const CuttingPlan result = map_back(problem, transformed, plan);
  ASSERT_EQ(result.bars.size(), 5u);
  const std::vector<std::size_t> stock = {result.bars[0].stock, result.bars[1].stock, result.bars[2].stock,
                                          result.bars[3].stock, result.bars[4].stock};
  EXPECT_EQ(stock, (std::vector<std::size_t>{0, 1, 1, 2, 2}));
  EXPECT_EQ(result.bars[0].pieces, (std::vector<std::size_t>{0, 1}));  // longest first
  EXPECT_EQ(result.bars[1].pieces, (std::vector<std::size_t>{0, 0, 1, 1}));
  EXPECT_EQ(result.bars[1].leftover, 0.0);
  EXPECT_EQ(result.bars[2].leftover, 12.0);
  // A bar without pieces is left whole.
  EXPECT_TRUE(result.bars[3].pieces.empty());
  EXPECT_EQ(result.bars[3].leftover, 30.0);
  EXPECT_EQ(result.bars[3].used, 0.0);
}

TEST(MapBack, LeftoverIsWhatTheOptimizerCountedInRealUnits) {
  const Problem problem = problem_of({kind(6000, 0)}, {kind(2150, 2), kind(1200, 1), kind(330, 3)});
  const Allowances allowances{3.0, 10.0};
  const TransformedProblem transformed = transform(problem, allowances);
  // Optimizer kinds ascending: 330, 1200, 2150.
  const OptimizerPlan plan{0.0, {{0, 1, 2}, {3, 0, 0}}};
  const CuttingPlan result = map_back(problem, transformed, plan);
  // Trim, pieces and the two cuts between three pieces.
  EXPECT_EQ(result.bars[0].leftover, 6000 - 10 - 5500 - 2 * 3);
  EXPECT_EQ(result.bars[0].used, 10 + 5500 + 2 * 3);
  EXPECT_EQ(result.bars[1].leftover, 6000 - 10 - 990 - 2 * 3);
  // The same rest as the optimizer's waste of the bar in its own terms.
  for (std::size_t bar = 0; bar < plan.patterns.size(); ++bar) {
    double filled = 0.0;
    for (std::size_t k = 0; k < 3; ++k) filled += plan.patterns[bar][k] * transformed.input.item_lengths[k];
    EXPECT_EQ(result.bars[bar].leftover, transformed.input.stock_lengths[0] - filled);
  }
}

TEST(MapBack, ExactFitWithKerfLeavesNothing) {
  const Problem problem = problem_of({kind(1000, 0)}, {kind(330, 3)});
  const TransformedProblem transformed = transform(problem, {5.0, 0.0});
  EXPECT_EQ(3 * transformed.input.item_lengths[0], transformed.input.stock_lengths[0]);
  const CuttingPlan result = map_back(problem, transformed, {0.0, {{3}}});
  EXPECT_EQ(result.bars[0].leftover, 0.0);
  EXPECT_EQ(result.bars[0].used, 1000.0);
}

struct BadPlan {
  const char* name;
  OptimizerPlan plan;
  const char* message;
};

class MapBackRefuses : public testing::TestWithParam<BadPlan> {};

TEST_P(MapBackRefuses, PlansThatBreakThePromises) {
  const Problem problem = problem_of({kind(10, 1), kind(12, 1)}, {kind(6, 1), kind(4, 2)});
  const TransformedProblem transformed = transform(problem, {});
  EXPECT_THAT([&] { map_back(problem, transformed, GetParam().plan); }, RaisesInputError(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapBackRefuses,
    testing::Values(
        BadPlan{"MoreBarsThanStock",
                {0, {{1, 0}, {1, 0}, {0, 1}}},
                "the optimizer returned a plan that uses more bars than the stock holds"},
        BadPlan{"PieceMissing", {0, {{1, 1}}}, "the optimizer returned a plan that cuts 1 pieces of k4 instead of 2"},
        BadPlan{
            "PieceTwice", {0, {{1, 1}, {1, 1}}}, "the optimizer returned a plan that cuts 2 pieces of k6 instead of 1"},
        BadPlan{"Overfilled", {0, {{3, 0}, {0, 1}}}, "the optimizer returned a plan that overfills a bar"},
        BadPlan{"NegativeCount", {0, {{-1, 1}}}, "the optimizer returned a plan that has a negative count"},
        BadPlan{"WrongWidth",
                {0, {{2}}},
                "the optimizer returned a plan that has a bar with the wrong number of item kinds"}),
    [](const testing::TestParamInfo<BadPlan>& tested) { return tested.param.name; });

TEST(LengthScale, FormatsWithTheInputsDecimals) {
  const LengthScale scale(2);
  EXPECT_EQ(scale.format(215025 + 50), "2150.75");
  EXPECT_EQ(scale.format(600000), "6000");
  EXPECT_EQ(scale.whole_user(600000), 6000);
  EXPECT_FALSE(scale.whole_user(50));
  EXPECT_EQ(LengthScale().format(1125899906842624.0), "1125899906842624");
}

TEST(Transform, StockOrderMapsBarsBackToTheUsersKinds) {
  const Problem problem = problem_of({kind(12, 0), kind(5, 1)}, {kind(5, 1), kind(4, 2)});
  const std::vector<std::size_t> order = {1, 0};
  const TransformedProblem transformed = transform(problem, {}, order);
  EXPECT_EQ(transformed.input.stock_lengths, (std::vector<double>{5, 12}));
  EXPECT_EQ(transformed.user_stock, order);
  EXPECT_TRUE(transformed.warnings.empty());
  const CuttingPlan result = map_back(problem, transformed, {0.0, {{0, 1}, {2, 0}}});
  EXPECT_EQ(result.bars[0].stock, 1u);
  EXPECT_EQ(result.bars[1].stock, 0u);
  EXPECT_EQ(result.bars[1].leftover, 4.0);
}

}  // namespace
}  // namespace krelvo::cli
