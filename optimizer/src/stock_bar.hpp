// Reading the stock arrays bar by bar, in consumption order, with the
// failures that a plan meets there; shared by the fast and the reference builder.
#pragma once

#include <cstdint>

#include "plan.hpp"

namespace krelvo {

struct StockKind {
  int32_t kind = 1;
  double length = 0.0;
  int32_t quantity = 0;  // 0 or less: unlimited
  bool unlimited() const noexcept { return quantity <= 0; }
};

// Stock kind `kind`; raises the subscript error when demand is still open
// past the last kind the arrays hold, and the floating-point error for a
// length that is not a finite number.
StockKind read_stock_kind(const ProblemInputs& inputs, int32_t kind);

// The plan could never be finished: a bar of an unlimited kind received no
// piece while demand is open, and every later bar would be the same kind
// (subscript out of range). `too_long` is an open item kind longer than the
// bar while others fit, 0 when no open piece fits.
[[noreturn]] void raise_unfinishable(const StockKind& stock, int32_t ntrial, int32_t too_long, double too_long_length);

// The longest open piece on this bar could push a fill past the double range.
void check_fill_range(const StockKind& stock, double longest_open_length);

// Bars taken from the current kind: moves on to the next kind when a
// limited kind is used up.
struct StockPosition {
  int32_t kind = 1;
  int32_t taken = 0;
  void bar_used(const StockKind& stock) noexcept {
    if (stock.unlimited()) return;
    if (++taken == stock.quantity) {
      taken = 0;
      ++kind;
    }
  }
};

}  // namespace krelvo
