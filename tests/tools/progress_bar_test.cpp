#include <gtest/gtest.h>

#include "progress_bar.hpp"

namespace krelvo::cli {
namespace {

using std::chrono::seconds;

TEST(ProgressLine, ShowsPercentBestPlanAndElapsedTime) {
  const LengthScale scale(1);
  EXPECT_EQ(progress_line({42, true, 12345, 14}, scale, seconds(72), 80),
            "[############------------------]  42%  waste 1234.5  14 bars  1:12");
  EXPECT_EQ(progress_line({0, false, 0.0, 0}, scale, seconds(3725), 80),
            "[------------------------------]  0%  1:02:05");
  EXPECT_EQ(progress_line({100, true, 0.0, 3}, scale, seconds(0), 80),
            "[##############################]  100%  waste 0  3 bars  0:00");
}

TEST(ProgressLine, FitsNarrowTerminals) {
  const LengthScale scale;
  for (std::size_t width : {60u, 40u, 30u, 12u}) {
    const std::string line = progress_line({50, true, 123.0, 7}, scale, seconds(5), width);
    EXPECT_LE(line.size(), width) << line;
  }
  EXPECT_EQ(progress_line({50, true, 123.0, 7}, scale, seconds(5), 45),
            "[######-------]  50%  waste 123  7 bars  0:05");
}

}  // namespace
}  // namespace krelvo::cli
