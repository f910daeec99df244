// Inputs the fuzz targets found failing, each kept as a test of what a host
// gets for it now.
#include <gtest/gtest.h>

#include <limits>

#include "automation/error.hpp"
#include "krelvo.hpp"

namespace {

using automation::AutomationError;
using automation::SafeArray;

int32_t error_of_test_run(krelvo::clsOptimizacija& optimizer) {
  int32_t ngreedy = 0;
  int32_t ntrial = 20;
  int32_t iter = 0;
  try {
    optimizer.test(ngreedy, ntrial, iter);
  } catch (const AutomationError& error) {
    return error.number();
  }
  return 0;
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
  EXPECT_EQ(error_of_test_run(*optimizer), automation::kErrSubscriptOutOfRange);
  EXPECT_EQ(optimizer->get_brsipka(), 0);
}

}  // namespace
