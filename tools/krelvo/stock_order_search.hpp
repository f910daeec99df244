// --stock-order best: the search run once for every distinct order of the
// stock kinds, on a few threads, keeping the plan that uses the least stock
// length, then the least waste, then the earliest order.
#pragma once

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

#include "automation/error.hpp"
#include "problem.hpp"
#include "run.hpp"
#include "stock_order.hpp"

namespace krelvo::cli {

// One search of the optimizer on one order's input.
using OrderJob = std::function<OptimizerPlan(const OptimizerInput& input, JobContext& context)>;

struct OrderSearchOutcome {
  StockOrder order;
  TransformedProblem transformed;
  CuttingPlan plan;
  std::size_t orders_tried = 0;  // run to their end or to a stop
  std::size_t orders_in_all = 0;
};

// Orders that are impossible from the start (limited stock too small, a piece
// no bar in reach holds) are passed over; when every order is, the given
// order's input error is raised, and when every run fails, the first run's error.
// `on_tick` gets the percent of orders done, about every 100 ms.
OrderSearchOutcome search_stock_orders(const Problem& problem, const Allowances& allowances, int threads,
                                       const OrderJob& job, const std::atomic<bool>& stop,
                                       const std::function<void(int16_t percent)>& on_tick);

}  // namespace krelvo::cli
