#include "length_scale.hpp"

#include <array>
#include <cmath>
#include <cstdio>

namespace krelvo::cli {
namespace {

constexpr std::array<double, LengthScale::kMaxDecimals + 1> kPowersOfTen = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

std::string trim_zeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

LengthScale::LengthScale(int decimals)
    : decimals_(decimals), factor_(kPowersOfTen.at(static_cast<std::size_t>(decimals))) {}

double LengthScale::to_user(double units) const { return units / factor_; }

std::optional<int64_t> LengthScale::whole_user(double units) const {
  const double user = to_user(units);
  if (!std::isfinite(user) || std::fabs(user) > static_cast<double>(kLargestUnits) || user != std::trunc(user))
    return std::nullopt;
  return static_cast<int64_t>(user);
}

std::string LengthScale::format(double units) const {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals_, to_user(units));
  return trim_zeros(buffer.data());
}

}  // namespace krelvo::cli
