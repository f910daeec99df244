#include "offcut_keeping.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "decimal.hpp"
#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

// The fewest whole units at least `min_length` long. Leftovers are whole
// units, so "at least the minimum" is "at least this" exactly, whatever
// decimals the minimum has.
double threshold_units(const LengthScale& scale, double min_length) {
  const Decimal min = parse_decimal(round_trip_number_text(min_length)).value_or(Decimal{});
  constexpr int64_t kMostDecimals = 18;  // 10^18 still fits an int64_t
  const int64_t decimals = std::min(std::max<int64_t>(min.decimals(), scale.decimals()), kMostDecimals);
  const std::optional<int64_t> fine = min.scaled(decimals, std::numeric_limits<int64_t>::max());
  if (!fine) return min_length >= 1.0 ? std::numeric_limits<double>::infinity() : 1.0;
  int64_t step = 1;
  for (int64_t digit = scale.decimals(); digit < decimals; ++digit) step *= 10;
  return static_cast<double>(*fine / step + (*fine % step != 0 ? 1 : 0));
}

}  // namespace

void keep_offcuts(CuttingPlan& plan, const TransformedProblem& transformed, double min_length) {
  const double min_units = min_length > 0.0 ? threshold_units(transformed.scale, min_length) : 0.0;
  for (CutBar& bar : plan.bars) {
    bar.kept = 0.0;
    if (min_units <= 0.0) continue;
    // A bar with pieces needs one more cut to free its rest; an untouched bar needs none.
    const double rest = bar.pieces.empty() ? bar.leftover : bar.leftover - transformed.kerf_units;
    if (rest > 0.0 && rest >= min_units) bar.kept = rest;
  }
}

void drop_untouched_offcuts(CuttingPlan& plan, const Problem& problem) {
  std::erase_if(plan.bars, [&](const CutBar& bar) { return bar.stock < problem.offcut_kinds && bar.pieces.empty(); });
}

}  // namespace krelvo::cli
