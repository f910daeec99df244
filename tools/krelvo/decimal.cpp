#include "decimal.hpp"

#include <cctype>

namespace krelvo::cli {
namespace {

// Exponents are clamped here: far beyond any length, and no overflow on the way.
constexpr int64_t kExponentClamp = 1'000'000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int64_t Decimal::decimals() const { return digits.empty() || exponent >= 0 ? 0 : -exponent; }

std::optional<int64_t> Decimal::scaled(int64_t decimals, int64_t limit) const {
  if (digits.empty()) return 0;
  const int64_t shift = exponent + decimals;
  if (shift < 0) return std::nullopt;  // not whole at this scale
  if (static_cast<int64_t>(digits.size()) + shift > 19) return std::nullopt;
  int64_t value = 0;
  for (char digit : digits) {
    if (value > (limit - (digit - '0')) / 10) return std::nullopt;
    value = value * 10 + (digit - '0');
  }
  for (int64_t step = 0; step < shift; ++step) {
    if (value > limit / 10) return std::nullopt;
    value *= 10;
  }
  return value;
}

std::optional<Decimal> parse_decimal(std::string_view text) {
  Decimal result;
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) result.negative = text[at++] == '-';
  std::string all_digits;
  int64_t point_shift = 0;  // digits after the point
  bool any_digit = false;
  for (; at < text.size() && is_digit(text[at]); ++at, any_digit = true) all_digits += text[at];
  if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && is_digit(text[at]); ++at, any_digit = true) {
      all_digits += text[at];
      ++point_shift;
    }
  }
  if (!any_digit) return std::nullopt;
  int64_t exponent = 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    bool negative_exponent = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative_exponent = text[at++] == '-';
    if (at == text.size() || !is_digit(text[at])) return std::nullopt;
    for (; at < text.size() && is_digit(text[at]); ++at)
      if (exponent < kExponentClamp) exponent = exponent * 10 + (text[at] - '0');
    if (negative_exponent) exponent = -exponent;
  }
  if (at != text.size()) return std::nullopt;

  const std::size_t first = all_digits.find_first_not_of('0');
  if (first == std::string::npos) return result;  // zero, whatever its sign or exponent
  const std::size_t last = all_digits.find_last_not_of('0');
  result.digits = all_digits.substr(first, last - first + 1);
  result.exponent = exponent - point_shift + static_cast<int64_t>(all_digits.size() - 1 - last);
  return result;
}

}  // namespace krelvo::cli
