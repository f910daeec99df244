#include "plan_builder.hpp"

#include <algorithm>
#include <cmath>

#include "automation/checked_math.hpp"
#include "plan_memory.hpp"
#include "stock_bar.hpp"

namespace krelvo {

void PlanBuilder::prepare(const ProblemInputs& inputs) {
  if (prepared_ && prepared_version_ == inputs.version) return;
  prepared_ = false;
  kinds_.read(inputs);
  require_room_for_demand(inputs);
  filler_.prepare(kinds_);
  open_.resize(kinds_.size());
  prepared_ = true;
  prepared_version_ = inputs.version;
}

void PlanBuilder::raise_unfinishable_bar(const StockKind& stock, int32_t ntrial, bool some_piece_fits) const {
  for (std::size_t kind = 0; some_piece_fits && kind < kinds_.size(); ++kind)
    if (open_[kind] > 0 && kinds_.length[kind] > stock.length)
      raise_unfinishable(stock, ntrial, kinds_.index[kind], kinds_.length[kind]);
  raise_unfinishable(stock, ntrial, 0, 0.0);
}

double PlanBuilder::longest_open_length() const {
  double longest = 0.0;
  for (std::size_t kind = 0; kind < kinds_.size(); ++kind)
    if (open_[kind] > 0) longest = std::max(longest, kinds_.length[kind]);
  return longest;
}

void PlanBuilder::require_room_for_demand(const ProblemInputs& inputs) const {
  // A demand far beyond what memory can hold fails at once instead of after
  // minutes of bars: no bar holds more pieces than the longest stock bar
  // takes of the shortest piece.
  if (kinds_.total_demand == 0 || inputs.lsource.dimensions() != 1) return;
  double longest_bar = 0.0;
  // A 64-bit index: an array may end at the largest 32-bit index.
  for (int64_t kind = std::max(1, inputs.lsource.lbound()); kind <= inputs.lsource.ubound(); ++kind) {
    const double length = inputs.lsource.at(kind);
    if (std::isfinite(length)) longest_bar = std::max(longest_bar, length);
  }
  const double pieces_per_bar = std::floor(longest_bar / kinds_.shortest_length) + 1.0;
  const double fewest_bars = std::ceil(kinds_.total_demand / std::min(pieces_per_bar, 2147483647.0));
  require_plan_memory(static_cast<int64_t>(fewest_bars), static_cast<int32_t>(kinds_.size()), kinds_.nitem);
}

double PlanBuilder::build(const ProblemInputs& inputs, int32_t ngreedy, int32_t ntrial,
                          automation::RandomGenerator& generator, Plan& plan) {
  prepare(inputs);
  if (ntrial >= 1 && !kinds_.arrays_hold_zero_to_nitem)
    automation::raise_subscript_out_of_range("Subscript out of range: litem and mitem must hold the elements 0.." +
                                             std::to_string(kinds_.nitem) + " (a fill trial reads element 0)");

  plan.clear(kinds_.nitem, kinds_.index);
  std::copy(kinds_.quantity.begin(), kinds_.quantity.end(), open_.begin());
  int32_t open_total = kinds_.total_demand;
  StockPosition position;
  double total_waste = 0.0;
  for (;;) {
    const StockKind stock = read_stock_kind(inputs, position.kind);
    const bool some_piece_fits = filler_.begin_bar(open_, open_total, stock.length);
    if (open_total > 0) {
      // Only a bar near the double range needs the longest piece still open.
      if (!std::isfinite(stock.length + kinds_.longest_length)) check_fill_range(stock, longest_open_length());
    } else if (ntrial >= 1) {
      generator.next();  // the first draw, whose k = 1 the running sum never reaches
      automation::raise_subscript_out_of_range(
          "Subscript out of range: no item kind has pieces to cut (total demand 0), so the roulette "
          "runs past item kind " +
          std::to_string(kinds_.nitem));
    }
    const std::span<int32_t> row = plan.append_bar();
    const double waste = filler_.fill(ngreedy, ntrial, generator, row);
    position.bar_used(stock);
    int32_t pieces = 0;
    for (std::size_t kind = 0; kind < kinds_.size(); ++kind) {
      const int32_t cut = row[kind];
      open_[kind] -= cut;
      pieces += cut;
    }
    open_total -= pieces;
    // Demand never goes below 0, so a zero total means every kind is met.
    if (open_total == 0) break;
    // Every later bar would be this one again: fail instead of looping forever.
    if (pieces == 0 && stock.unlimited()) raise_unfinishable_bar(stock, ntrial, some_piece_fits);
    // The rest of the last bar is not waste: the host keeps it for the next job.
    total_waste = automation::check_finite(total_waste + waste);
  }
  return total_waste;
}

}  // namespace krelvo
