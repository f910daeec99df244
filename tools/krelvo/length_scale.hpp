// Lengths in whole units. The optimizer compares sums of doubles, so 0.1 + 0.2
// would not fit a bar of 0.3; scaling every length by the smallest power of ten
// that makes it whole keeps each sum exact and an exact fit a fit. Lengths are
// converted from their decimal text, so no piece is ever rounded down nor a
// bar up; one that needs more decimals than the scale allows is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace krelvo::cli {

class LengthScale {
 public:
  // Decimals the units may stand for.
  static constexpr int kMaxDecimals = 6;
  // Plans add at most a bar's worth of units; 2^50 leaves room for that sum
  // and every integer on the way is still exact in a double.
  static constexpr int64_t kLargestUnits = int64_t{1} << 50;

  LengthScale() = default;  // whole user units
  explicit LengthScale(int decimals);

  int decimals() const noexcept { return decimals_; }

  double to_user(double units) const;
  // A whole user-unit value, when the units amount to one (for tidy JSON numbers).
  std::optional<int64_t> whole_user(double units) const;
  // The length in the user's unit with no more decimals than the input had: "5998.2".
  std::string format(double units) const;

 private:
  int decimals_ = 0;
  double factor_ = 1.0;
};

}  // namespace krelvo::cli
