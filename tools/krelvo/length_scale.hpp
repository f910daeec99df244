// Lengths in whole units. The optimizer compares sums of doubles, so 0.1 + 0.2
// would not fit a bar of 0.3; scaling every length by the smallest power of ten
// that makes it whole keeps each sum exact and an exact fit a fit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace krelvo::cli {

class LengthScale {
 public:
  // Up to this many decimals are scaled away; finer lengths keep plain doubles.
  static constexpr int kMaxDecimals = 6;

  LengthScale() = default;  // factor 1, lengths are taken as they are

  // The smallest 10^d (d <= kMaxDecimals) that makes every length whole, as
  // long as the units stay well inside a double's exact integers; otherwise factor 1.
  static LengthScale for_lengths(std::span<const double> lengths);

  int decimals() const noexcept { return decimals_; }
  bool exact() const noexcept { return exact_; }

  double to_units(double length) const;
  double to_user(double units) const;
  // A whole user-unit value, when the units amount to one (for tidy JSON numbers).
  std::optional<int64_t> whole_user(double units) const;
  // The length in the user's unit with no more decimals than the input had: "5998.2".
  std::string format(double units) const;

 private:
  LengthScale(int decimals, bool exact);

  int decimals_ = 0;
  double factor_ = 1.0;
  bool exact_ = false;
};

}  // namespace krelvo::cli
