#include <gtest/gtest.h>

#include <atomic>

#include "stock_order.hpp"
#include "stock_order_search.hpp"

namespace krelvo::cli {
namespace {

Kind kind(double length, int32_t quantity) { return {length, quantity, {}, "k" + std::to_string(int(length)), {}}; }

Problem problem_of(std::vector<Kind> stock, std::vector<Kind> items) {
  return {std::move(stock), std::move(items), "stock.csv", "items.csv"};
}

TEST(StockOrder, SortsByLengthKeepingTiesAsGiven) {
  const Problem problem = problem_of({kind(6000, 1), kind(3000, 0), kind(6000, 2), kind(12000, 0)}, {});
  EXPECT_EQ(stock_order_by(problem, "given"), (StockOrder{0, 1, 2, 3}));
  EXPECT_EQ(stock_order_by(problem, "ascending"), (StockOrder{1, 0, 2, 3}));
  EXPECT_EQ(stock_order_by(problem, "descending"), (StockOrder{3, 0, 2, 1}));
  EXPECT_EQ(stock_order_text({3, 0, 2, 1}), "4, 1, 3, 2");
}

TEST(StockOrder, OffcutsFromTheRackStayFirstInEveryOrder) {
  Problem problem = problem_of({kind(900, 1), kind(400, 2), kind(6000, 0), kind(3000, 1), kind(12000, 0)}, {});
  problem.offcut_kinds = 2;
  EXPECT_EQ(stock_order_by(problem, "ascending"), (StockOrder{0, 1, 3, 2, 4}));
  EXPECT_EQ(stock_order_by(problem, "descending"), (StockOrder{0, 1, 4, 2, 3}));
  const std::vector<StockOrder> orders = distinct_stock_orders(problem);
  // Of the regular kinds: 3 then 2 or 4, or 2 or 4 alone.
  EXPECT_EQ(orders.size(), 4u);
  for (const StockOrder& order : orders) EXPECT_EQ(StockOrder(order.begin(), order.begin() + 2), (StockOrder{0, 1}));
}

TEST(StockOrder, OrdersAlikeUpToTheirFirstUnlimitedKindAreTriedOnce) {
  // Three limited kinds: all 6 orders, the given one first.
  const auto limited = distinct_stock_orders(problem_of({kind(1, 1), kind(2, 1), kind(3, 1)}, {}));
  ASSERT_EQ(limited.size(), 6u);
  EXPECT_EQ(limited.front(), (StockOrder{0, 1, 2}));
  // Three unlimited kinds: only the first of each order is ever reached.
  EXPECT_EQ(distinct_stock_orders(problem_of({kind(1, 0), kind(2, 0), kind(3, 0)}, {})).size(), 3u);
  // One limited, two unlimited: 0 first (then 1 or 2), or 1 or 2 alone.
  EXPECT_EQ(distinct_stock_orders(problem_of({kind(1, 1), kind(2, 0), kind(3, 0)}, {})).size(), 4u);
}

// A plain next-fit packer standing in for the optimizer: pieces longest
// first, a new bar of the next stock kind in order when one does not fit.
OptimizerPlan next_fit(const OptimizerInput& input, JobContext&) {
  OptimizerPlan plan;
  std::size_t stock = 0;
  int32_t taken = 0;
  double room = 0.0;
  for (std::size_t kind = input.item_lengths.size(); kind-- > 0;) {
    for (int32_t piece = 0; piece < input.item_quantities[kind]; ++piece) {
      if (plan.patterns.empty() || input.item_lengths[kind] > room) {
        if (!plan.patterns.empty() && input.stock_quantities[stock] > 0 && ++taken == input.stock_quantities[stock]) {
          ++stock;
          taken = 0;
        }
        if (stock >= input.stock_lengths.size()) automation::raise_subscript_out_of_range("stock exhausted");
        plan.patterns.emplace_back(input.item_lengths.size(), 0);
        room = input.stock_lengths[stock];
      }
      ++plan.patterns.back()[kind];
      room -= input.item_lengths[kind];
    }
  }
  return plan;
}

TEST(StockOrderSearch, KeepsThePlanUsingTheLeastStock) {
  // Given order: three bars of 6000; the 12000 bar first holds all three pieces.
  const Problem problem = problem_of({kind(6000, 0), kind(12000, 0)}, {kind(4000, 3)});
  const std::atomic<bool> stop{false};
  for (int threads : {1, 2}) {
    const OrderSearchOutcome found = search_stock_orders(problem, {}, threads, next_fit, stop, [](int16_t) {});
    EXPECT_EQ(found.order, (StockOrder{1, 0}));
    EXPECT_EQ(found.plan.bars.size(), 1u);
    EXPECT_EQ(found.plan.bars[0].stock, 1u);
    EXPECT_EQ(found.orders_tried, 2u);
  }
}

TEST(StockOrderSearch, PassesOverImpossibleOrdersAndTiesGoToTheEarlierOrder) {
  // 3000 first (unlimited) cannot hold a 4000 piece; 6000 and 8000 both take one bar each,
  // but 6000 uses less stock.
  const Problem problem = problem_of({kind(3000, 0), kind(8000, 1), kind(6000, 0)}, {kind(4000, 1)});
  const std::atomic<bool> stop{false};
  const OrderSearchOutcome found = search_stock_orders(problem, {}, 2, next_fit, stop, [](int16_t) {});
  EXPECT_EQ(found.plan.bars[0].stock, 2u);
  // Equal plans: the earliest order wins.
  const Problem equal = problem_of({kind(5000, 0), kind(5000, 0)}, {kind(4000, 2)});
  EXPECT_EQ(search_stock_orders(equal, {}, 2, next_fit, stop, [](int16_t) {}).order, (StockOrder{0, 1}));
}

TEST(StockOrderSearch, ImpossibleEverywhereIsTheGivenOrdersInputError) {
  const Problem problem = problem_of({kind(3000, 0), kind(2000, 0)}, {kind(4000, 1)});
  const std::atomic<bool> stop{false};
  try {
    search_stock_orders(problem, {}, 1, next_fit, stop, [](int16_t) {});
    FAIL() << "no error";
  } catch (const automation::AutomationError& error) {
    EXPECT_EQ(error.description(),
              "k4000: length 4000 is longer than every stock bar (the longest usable length is 3000)");
  }
}

}  // namespace
}  // namespace krelvo::cli
