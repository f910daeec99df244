#include <gtest/gtest.h>

#include <limits>

#include "automation/checked_math.hpp"

namespace automation {
namespace {

int error_number_of(auto&& call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error.number();
  }
  return 0;
}

TEST(CheckedMath, SixteenBitCounterTrapsPast32767) {
  EXPECT_EQ(checked_add<int16_t>(32766, 1), 32767);
  EXPECT_EQ(error_number_of([] { checked_add<int16_t>(32767, 1); }), kErrOverflow);
  EXPECT_EQ(error_number_of([] { checked_sub<int16_t>(-32768, 1); }), kErrOverflow);
}

TEST(CheckedMath, ThirtyTwoBitArithmeticTraps) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(error_number_of([] { checked_add<int32_t>(kMax, 1); }), kErrOverflow);
  EXPECT_EQ(error_number_of([] { checked_mul<int32_t>(65536, 65536); }), kErrOverflow);
  EXPECT_EQ(checked_mul<int32_t>(-46340, 46340), -2147395600);
}

TEST(CheckedMath, NarrowingTrapsOutsideTheTargetRange) {
  EXPECT_EQ(checked_narrow<int16_t>(int32_t{-32768}), -32768);
  EXPECT_EQ(error_number_of([] { checked_narrow<int16_t>(int32_t{32768}); }), kErrOverflow);
  EXPECT_EQ(error_number_of([] { checked_narrow<int32_t>(int64_t{1} << 31); }), kErrOverflow);
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
  EXPECT_EQ(error_number_of([] { round_half_even<int32_t>(2147483647.5); }), kErrOverflow);
  EXPECT_EQ(error_number_of([] { round_half_even<int16_t>(32767.5); }), kErrOverflow);
  EXPECT_EQ(error_number_of([] { round_half_even<int32_t>(std::numeric_limits<double>::quiet_NaN()); }), kErrOverflow);
  EXPECT_EQ(error_number_of([] { check_finite(std::numeric_limits<double>::infinity()); }), kErrOverflow);
}

TEST(CheckedMath, FloorGoesDown) {
  EXPECT_EQ(floor_to<int32_t>(-0.5), -1);
  EXPECT_EQ(floor_to<int32_t>(9.999), 9);
  EXPECT_EQ(error_number_of([] { floor_to<int32_t>(2147483648.0); }), kErrOverflow);
}

}  // namespace
}  // namespace automation
