// Inputs the fuzz targets found failing, each kept as a test of what a host
// gets for it now.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "cpu_time.hpp"
#include "krelvo.hpp"
#include "raises_automation_error.hpp"

namespace {

using automation::SafeArray;
using test_support::RaisesAutomationError;

// One plan built by `test`, as the fuzz target calls it.
void test_run(krelvo::clsOptimizacija& optimizer) {
  int32_t ngreedy = 0;
  int32_t ntrial = 20;
  int32_t iter = 0;
  optimizer.test(ngreedy, ntrial, iter);
}

// The memory check before the first plan stepped its 32-bit index past the
// largest index when lsource ended there: signed overflow, which the
// sanitizer build reports.
TEST(FuzzRegression, StockArrayEndingAtTheLargestIndexIsStockExhausted) {
  constexpr int32_t kLast = std::numeric_limits<int32_t>::max();
  const auto optimizer = krelvo::clsOptimizacija::create();
  optimizer->put_nitem(1);
  optimizer->put_litem(SafeArray<double>(0, {0.0, 3.0}));
  optimizer->put_mitem(SafeArray<int32_t>(0, {0, 2}));
  optimizer->put_lsource(SafeArray<double>(kLast - 2, {10.0, 10.0, 10.0}));
  optimizer->put_msource(SafeArray<int32_t>(0, {0, 0}));
  EXPECT_THAT([&] { test_run(*optimizer); }, RaisesAutomationError(automation::kErrSubscriptOutOfRange));
  EXPECT_EQ(optimizer->get_brsipka(), 0);
}

// The optimizer target's time limit stopped plans of 65 535 bars with one
// piece each (14 ms a plan in the normal build; the limit was the target's
// own bound on the work it allows). Kept as a guard that such a plan stays
// linear in its bars: quadratic work would take minutes here.
TEST(FuzzRegression, ManyBarsOfOnePieceEachAreBuiltInLinearTime) {
  constexpr int32_t kPieces = 65535;
  const auto optimizer = krelvo::clsOptimizacija::create();
  optimizer->put_nitem(3);
  optimizer->put_litem(SafeArray<double>(0, {1.0387856152602562e-13, 1.0387854855839638e-13, -0.0, 25.0}));
  optimizer->put_mitem(SafeArray<int32_t>(0, {8, 5, 0, kPieces}));
  optimizer->put_lsource(SafeArray<double>(0, {1e-13, 29.0}));
  optimizer->put_msource(SafeArray<int32_t>(0, {0, 0}));
  const double started = test_support::cpu_seconds();
  int32_t ngreedy = 2;
  int32_t ntrial = 2;
  int32_t iter = 2;
  optimizer->test(ngreedy, ntrial, iter);
  EXPECT_LT(test_support::cpu_seconds() - started, 10.0);
  // One piece of 25 a bar; the five tiny pieces ride along on some bar.
  EXPECT_EQ(optimizer->get_brsipka(), kPieces);
  EXPECT_DOUBLE_EQ(optimizer->get_otpad(), (kPieces - 1) * 4.0);
}

}  // namespace
