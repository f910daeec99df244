#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "automation/error.hpp"
#include "drumel/clsEncript.hpp"
#include "raises_automation_error.hpp"

namespace drumel {
namespace {

using test_support::RaisesAutomationError;

TEST(clsEncriptRndF, StaysWithinTheBoundsAndReachesEachValue) {
  clsEncript encript;
  // Reversed bounds reach lb itself only when r is exactly 0, so the values
  // every run must see end at lb − 1 there.
  const struct {
    int32_t ub;
    int32_t lb;
    int32_t low;
    int32_t high;
    int32_t always_seen_high;
  } cases[] = {
      {10, 1, 1, 10, 10},
      {7, 7, 7, 7, 7},
      {-3, -2, -2, -2, -2},  // w = 0: always lb
      {1, 10, 2, 10, 9},     // reversed: ub + 1 to lb
      {-5, 5, -4, 5, 4},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX},  // no rounding up to ub + 1
      {INT_MIN + 2, INT_MIN, INT_MIN, INT_MIN + 2, INT_MIN + 2},
  };
  for (const auto& c : cases) {
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
      const int32_t value = encript.RndF(c.ub, c.lb);
      ASSERT_GE(value, c.low) << c.ub << ", " << c.lb;
      ASSERT_LE(value, c.high) << c.ub << ", " << c.lb;
      seen.insert(value);
    }
    for (int32_t value = c.low; value < c.always_seen_high; ++value) EXPECT_TRUE(seen.contains(value)) << value;
    EXPECT_TRUE(seen.contains(c.always_seen_high)) << c.always_seen_high;
  }
}

TEST(clsEncriptRndF, CallsInATightLoopDoNotRepeatOneValue) {
  clsEncript encript;
  std::set<int32_t> seen;
  for (int i = 0; i < 1000; ++i) seen.insert(encript.RndF(1000000000, 0));
  EXPECT_GT(seen.size(), 900u);
}

TEST(clsEncriptRndF, WidthBeyond32BitsIsTheOverflowError) {
  clsEncript encript;
  const std::pair<int32_t, int32_t> too_wide[] = {{INT_MAX, INT_MIN}, {INT_MAX, 0}, {INT_MIN, 1}};
  for (const auto& [ub, lb] : too_wide) {
    EXPECT_THAT([&] { encript.RndF(ub, lb); }, RaisesAutomationError(automation::kErrOverflow)) << ub << ", " << lb;
  }
}

}  // namespace
}  // namespace drumel
