#include "length_scale.hpp"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace krelvo::cli {
namespace {

constexpr std::array<double, LengthScale::kMaxDecimals + 1> kPowersOfTen = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
// Plans add at most a bar's worth of units; 2^50 leaves room for that sum and
// every integer on the way is still exact.
constexpr double kLargestUnits = 0x1p50;

bool is_whole(double value) {
  const double tolerance = std::max(1e-9, 4.0 * DBL_EPSILON * std::fabs(value));
  return std::fabs(value - std::nearbyint(value)) <= tolerance;
}

std::string trim_zeros(std::string text) {
  if (text.find('.') == std::string::npos || text.find('e') != std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

LengthScale::LengthScale(int decimals, bool exact)
    : decimals_(decimals), factor_(kPowersOfTen[static_cast<std::size_t>(decimals)]), exact_(exact) {}

LengthScale LengthScale::for_lengths(std::span<const double> lengths) {
  for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
    const double factor = kPowersOfTen[static_cast<std::size_t>(decimals)];
    bool fits = true;
    for (double length : lengths) {
      const double units = length * factor;
      if (!std::isfinite(units) || std::fabs(units) > kLargestUnits || !is_whole(units)) {
        fits = false;
        break;
      }
    }
    if (fits) return LengthScale(decimals, true);
  }
  return LengthScale(kMaxDecimals, false);
}

double LengthScale::to_units(double length) const { return exact_ ? std::nearbyint(length * factor_) : length; }

double LengthScale::to_user(double units) const { return exact_ ? units / factor_ : units; }

std::optional<int64_t> LengthScale::whole_user(double units) const {
  const double user = to_user(units);
  if (!std::isfinite(user) || std::fabs(user) > kLargestUnits || user != std::trunc(user)) return std::nullopt;
  return static_cast<int64_t>(user);
}

std::string LengthScale::format(double units) const {
  std::array<char, 64> buffer{};
  if (exact_)
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals_, to_user(units));
  else  // ten significant digits hide the noise of inexact sums
    std::snprintf(buffer.data(), buffer.size(), "%.10g", units);
  return trim_zeros(buffer.data());
}

}  // namespace krelvo::cli
