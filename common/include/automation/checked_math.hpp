// Integer arithmetic that traps overflow and double-to-integer conversions
// with the automation rules: nearest, halves to even, unless floor is asked.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "automation/error.hpp"

namespace automation {

template <class Int>
Int checked_add(Int a, Int b) {
  Int result;
  if (__builtin_add_overflow(a, b, &result)) raise_overflow();
  return result;
}

template <class Int>
Int checked_sub(Int a, Int b) {
  Int result;
  if (__builtin_sub_overflow(a, b, &result)) raise_overflow();
  return result;
}

template <class Int>
Int checked_mul(Int a, Int b) {
  Int result;
  if (__builtin_mul_overflow(a, b, &result)) raise_overflow();
  return result;
}

// Narrowing of an integer to a smaller integer type, overflow when it does not fit.
template <class To, class From>
To checked_narrow(From value) {
  static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
  if (!std::in_range<To>(value)) raise_overflow();
  return static_cast<To>(value);
}

// A result of a floating-point operation that is not a finite number is the
// floating-point overflow error; nothing goes on with NaN or infinity.
inline double check_finite(double value) {
  if (!std::isfinite(value)) raise_overflow();
  return value;
}

// Nearest integer with halves to even, then narrowed with the overflow error.
template <class To>
To round_half_even(double value) {
  if (!std::isfinite(value)) raise_overflow();
  // The default rounding mode of the floating-point environment is to nearest, ties to even.
  const double rounded = std::nearbyint(value);
  if (rounded < static_cast<double>(std::numeric_limits<To>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<To>::max()))
    raise_overflow();
  return static_cast<To>(rounded);
}

template <class To>
To floor_to(double value) {
  if (!std::isfinite(value)) raise_overflow();
  const double floored = std::floor(value);
  if (floored < static_cast<double>(std::numeric_limits<To>::min()) ||
      floored > static_cast<double>(std::numeric_limits<To>::max()))
    raise_overflow();
  return static_cast<To>(floored);
}

}  // namespace automation
