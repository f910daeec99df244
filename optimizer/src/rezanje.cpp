#include "rezanje.hpp"

#include <vector>

#include "plan_memory.hpp"

namespace krelvo {

using automation::Variant;

Variant plan_to_rezanje(const Plan& plan, bool has_plan) {
  if (!has_plan) return Variant(SafeArray<Variant>());
  require_host_plan_memory(plan.bars, plan.nitem);
  SafeArray<Variant> bars(0, plan.bars);
  for (int32_t b = 1; b <= plan.bars; ++b) {
    std::vector<int32_t> counts(static_cast<std::size_t>(plan.nitem) + 1, 0);
    const auto row = plan.bar(b);
    for (std::size_t column = 0; column < row.size(); ++column)
      counts[static_cast<std::size_t>(plan.item_of_column[column])] = row[column];
    bars.at(b) = Variant(SafeArray<int32_t>(0, std::move(counts)));
  }
  return Variant(std::move(bars));
}

}  // namespace krelvo
