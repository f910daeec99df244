#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "automation/checked_math.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

TEST(CheckedMath, SixteenBitCounterTrapsPast32767) {
  EXPECT_EQ(checked_add<int16_t>(32766, 1), 32767);
  EXPECT_THAT([] { checked_add<int16_t>(32767, 1); }, RaisesAutomationError(kErrOverflow));
  EXPECT_THAT([] { checked_sub<int16_t>(-32768, 1); }, RaisesAutomationError(kErrOverflow));
}

TEST(CheckedMath, ThirtyTwoBitArithmeticTraps) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_THAT([] { checked_add<int32_t>(kMax, 1); }, RaisesAutomationError(kErrOverflow));
  EXPECT_THAT([] { checked_mul<int32_t>(65536, 65536); }, RaisesAutomationError(kErrOverflow));
  EXPECT_EQ(checked_mul<int32_t>(-46340, 46340), -2147395600);
}

TEST(CheckedMath, NarrowingTrapsOutsideTheTargetRange) {
  EXPECT_EQ(checked_narrow<int16_t>(int32_t{-32768}), -32768);
  EXPECT_THAT([] { checked_narrow<int16_t>(int32_t{32768}); }, RaisesAutomationError(kErrOverflow));
  EXPECT_THAT([] { checked_narrow<int32_t>(int64_t{1} << 31); }, RaisesAutomationError(kErrOverflow));
}

TEST(CheckedMath, RoundsHalvesToEven) {
  struct Case {
    double value;
    int32_t expected;
  };
  for (const Case c : {Case{2.5, 2}, Case{3.5, 4}, Case{-2.5, -2}, Case{0.5, 0}, Case{1.5, 2}, Case{62.5, 62},
                       Case{2.4999, 2}, Case{-0.6, -1}}) {
    EXPECT_EQ(round_half_even<int32_t>(c.value), c.expected) << c.value;
  }
}

TEST(CheckedMath, RoundingTrapsOutOfRangeAndNonFinite) {
  EXPECT_EQ(round_half_even<int32_t>(2147483647.4), 2147483647);
  EXPECT_THAT([] { round_half_even<int32_t>(2147483647.5); }, RaisesAutomationError(kErrOverflow));
  EXPECT_THAT([] { round_half_even<int16_t>(32767.5); }, RaisesAutomationError(kErrOverflow));
  EXPECT_THAT([] { round_half_even<int32_t>(std::numeric_limits<double>::quiet_NaN()); },
              RaisesAutomationError(kErrOverflow));
  EXPECT_THAT([] { check_finite(std::numeric_limits<double>::infinity()); }, RaisesAutomationError(kErrOverflow));
}

TEST(CheckedMath, FloorGoesDown) {
  EXPECT_EQ(floor_to<int32_t>(-0.5), -1);
  EXPECT_EQ(floor_to<int32_t>(9.999), 9);
  EXPECT_THAT([] { floor_to<int32_t>(2147483648.0); }, RaisesAutomationError(kErrOverflow));
}

}  // namespace
}  // namespace automation
