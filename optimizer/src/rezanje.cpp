#include "rezanje.hpp"

#include <vector>

namespace krelvo {

using automation::Variant;

Variant plan_to_rezanje(const Plan& plan, bool has_plan) {
  if (!has_plan) return Variant(SafeArray<Variant>());
  SafeArray<Variant> bars(0, plan.bars);
  for (int32_t b = 1; b <= plan.bars; ++b) {
    const auto counts = plan.bar(b);
    bars.at(b) = Variant(SafeArray<int32_t>(0, std::vector<int32_t>(counts.begin(), counts.end())));
  }
  return Variant(std::move(bars));
}

}  // namespace krelvo
