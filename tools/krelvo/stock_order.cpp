#include "stock_order.hpp"

#include <algorithm>
#include <numeric>
#include <set>

namespace krelvo::cli {

StockOrder stock_order_by(const Problem& problem, const std::string& rule) {
  StockOrder order(problem.stock.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Offcuts from the rack stay first, shortest first, whatever the rule.
  const auto regular = order.begin() + static_cast<std::ptrdiff_t>(problem.offcut_kinds);
  const auto length = [&](std::size_t kind) { return problem.stock[kind].length; };
  if (rule == "ascending")
    std::stable_sort(regular, order.end(), [&](std::size_t a, std::size_t b) { return length(a) < length(b); });
  else if (rule == "descending")
    std::stable_sort(regular, order.end(), [&](std::size_t a, std::size_t b) { return length(a) > length(b); });
  return order;
}

std::vector<StockOrder> distinct_stock_orders(const Problem& problem) {
  StockOrder order = stock_order_by(problem, "given");
  std::vector<StockOrder> orders;
  std::set<StockOrder> reached;
  do {
    StockOrder prefix;
    for (std::size_t kind : order) {
      prefix.push_back(kind);
      if (problem.stock[kind].quantity == 0) break;
    }
    if (reached.insert(prefix).second) orders.push_back(order);
  } while (std::next_permutation(order.begin() + static_cast<std::ptrdiff_t>(problem.offcut_kinds), order.end()));
  return orders;
}

std::string stock_order_text(const StockOrder& order) {
  std::string text;
  for (std::size_t kind : order) text += (text.empty() ? "" : ", ") + std::to_string(kind + 1);
  return text;
}

}  // namespace krelvo::cli
