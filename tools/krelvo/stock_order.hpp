// Which stock to cut first. The optimizer takes the stock kinds in the order
// it is given them; krelvo can sort them by length, or try every order and
// keep the plan that uses the least stock.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli {

using StockOrder = std::vector<std::size_t>;  // indices into Problem::stock

// The given order, or the kinds sorted by length (ties as given). Offcut
// kinds stay first in every order here and below.
StockOrder stock_order_by(const Problem& problem, const std::string& rule);

// Every order of the regular stock kinds, the given one first, except that orders
// alike up to their first unlimited kind are one: the kinds after it are never reached.
std::vector<StockOrder> distinct_stock_orders(const Problem& problem);

// "2, 1, 3": the order as the user numbers the stock kinds.
std::string stock_order_text(const StockOrder& order);

}  // namespace krelvo::cli
