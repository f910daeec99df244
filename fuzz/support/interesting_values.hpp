// Numbers and arrays as a fuzz input chooses them: mostly small, often one of
// the values at which arithmetic and bounds break, sometimes any bit pattern.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "automation/safe_array.hpp"

namespace fuzz {

inline int32_t any_int32(FuzzedDataProvider& input, int32_t small_low, int32_t small_high) {
  constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();
  constexpr int32_t kSmallest = std::numeric_limits<int32_t>::min();
  static constexpr std::array<int32_t, 12> kEdges = {0,     -1,    -32768, -32769, 65535,    1 << 30,
                                                     32766, 32767, 32768,  1,      kLargest, kSmallest};
  switch (input.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return input.PickValueInArray(kEdges);
    case 1:
      return input.ConsumeIntegral<int32_t>();
    default:
      return input.ConsumeIntegralInRange<int32_t>(small_low, small_high);
  }
}

inline double any_double(FuzzedDataProvider& input, int32_t small_high) {
  using Limits = std::numeric_limits<double>;
  constexpr double kInfinity = Limits::infinity();
  constexpr double kNaN = Limits::quiet_NaN();
  constexpr double kLargest = Limits::max();
  constexpr double kTiny = Limits::min();
  constexpr double kDenormal = Limits::denorm_min();
  // 2^53: above it a double no longer holds every integer.
  constexpr double kBeyondIntegers = 9007199254740992.0;
  static constexpr std::array<double, 14> kEdges = {
      0.0,      -0.0,      -1.0,  0.5,   kNaN,      kInfinity,       -kInfinity,
      kLargest, -kLargest, 1e308, kTiny, kDenormal, kBeyondIntegers, 1e-300};
  switch (input.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
      return input.PickValueInArray(kEdges);
    case 1:
      return std::bit_cast<double>(input.ConsumeIntegral<uint64_t>());
    case 2:
      return input.ConsumeIntegralInRange<int32_t>(1, small_high * 8) / 8.0;
    default:
      return input.ConsumeIntegralInRange<int32_t>(1, small_high);
  }
}

// An array as a host may pass one: now and then no array at all or two
// dimensions, any lower bound (also one that puts the upper bound at the
// largest index), up to `most` elements chosen by `element`.
template <class T, class Element>
automation::SafeArray<T> any_array(FuzzedDataProvider& input, int32_t most, Element element) {
  const int shape = input.ConsumeIntegralInRange<int>(0, 15);
  if (shape == 0) return {};
  const int32_t count = input.ConsumeIntegralInRange<int32_t>(0, most);
  int32_t lbound = 0;
  switch (input.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      lbound = 1;
      break;
    case 1:
      lbound = input.ConsumeIntegralInRange<int32_t>(-3, 3);
      break;
    case 2:
      lbound = std::numeric_limits<int32_t>::min();
      break;
    case 3:
      lbound = std::numeric_limits<int32_t>::max() - std::max(count, 1) + 1;
      break;
    default:
      break;
  }
  if (shape == 1) {
    auto array = automation::SafeArray<T>::with_bounds({{lbound, count}, {0, 2}});
    for (T& value : array.elements()) value = element(input);
    return array;
  }
  std::vector<T> values(static_cast<std::size_t>(count));
  for (T& value : values) value = element(input);
  return automation::SafeArray<T>(lbound, std::move(values));
}

}  // namespace fuzz
