// Decimal numbers kept exactly as written, so a length converts to whole
// units without ever rounding: 2.0000000009 is not 2, and 1e-9 is not 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace krelvo::cli {

// value = (negative ? -1 : 1) × digits × 10^exponent
struct Decimal {
  bool negative = false;
  std::string digits;  // no leading or trailing zeros; empty for zero
  int64_t exponent = 0;

  // Digits after the decimal point the value needs: 2 for 12.50, 0 for 1e3.
  int64_t decimals() const;
  // digits × 10^(exponent + decimals) when that is whole and at most `limit`.
  std::optional<int64_t> scaled(int64_t decimals, int64_t limit) const;
};

// Number syntax as JSON and spreadsheets write it: an optional sign, digits
// with an optional '.', an optional exponent. Nothing else, not even blanks.
std::optional<Decimal> parse_decimal(std::string_view text);

}  // namespace krelvo::cli
