// Lower bounds on the number of bars of one capacity needed to cut every piece.
#pragma once

#include <cstdint>
#include <span>

namespace krelvo::cli {

struct SizeCount {
  double size = 0.0;
  int64_t count = 0;
};

// Sizes are whole units when `tolerance` is 0; with inexact lengths a small
// relative tolerance keeps rounding noise from raising a bound above the truth.
// ceil(total size / capacity).
int64_t material_bound(std::span<const SizeCount> pieces, double capacity, double tolerance = 0.0);

// Martello and Toth's L2: for each threshold a <= capacity / 2, pieces above
// capacity - a each need a bar of their own, pieces above capacity / 2 need one
// each too, and pieces from a to capacity / 2 must fit in the room the latter
// leave, or open further bars. The best threshold is one of the sizes (or 0).
int64_t martello_toth_bound(std::span<const SizeCount> pieces, double capacity, double tolerance = 0.0);

// The better of the two.
int64_t bar_lower_bound(std::span<const SizeCount> pieces, double capacity, double tolerance = 0.0);

}  // namespace krelvo::cli
