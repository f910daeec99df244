// Objects on several host threads share nothing: four runs at once give the
// result of one run alone. Built and run under ThreadSanitizer by `make test-tsan`.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "problem_fixtures.hpp"

namespace krelvo::testing {
namespace {

Problem shared_problem() { return {{2.5, 3.1, 4.4, 5.3, 7.7}, {7, 5, 6, 4, 3}, {12.0, 15.5}, {3, 0}}; }

struct Result {
  double otpad = 0;
  int32_t brsipka = 0;
  Variant rezanje;
  int reports = 0;
};

Result run_alone(int32_t razina, bool from_clock) {
  const auto optimizer = optimizer_for(shared_problem(), razina);
  optimizer->put_randomiziraj(VariantBool::from(from_clock));
  Result result;
  optimizer->connect_ProgressUpdate([&] { ++result.reports; });
  optimizer->pokreni();
  result.otpad = optimizer->get_otpad();
  result.brsipka = optimizer->get_brsipka();
  result.rezanje = optimizer->get_rezanje();
  return result;
}

TEST(Threads, FourObjectsOnFourThreadsRunAsIfAlone) {
  const Result expected = run_alone(standardna, false);
  std::vector<Result> results(4);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < results.size(); ++i)
    threads.emplace_back([&results, i] { results[i] = run_alone(i == 3 ? brza : standardna, i == 2); });
  for (std::thread& thread : threads) thread.join();
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(results[i].otpad, expected.otpad);
    EXPECT_EQ(results[i].brsipka, expected.brsipka);
    EXPECT_EQ(results[i].rezanje, expected.rezanje);
    EXPECT_EQ(results[i].reports, 76);
  }
  EXPECT_EQ(results[2].reports, 76);  // clock-seeded: any plan, same schedule
  EXPECT_EQ(results[3].reports, 11);
  EXPECT_GT(results[2].brsipka, 0);
}

}  // namespace
}  // namespace krelvo::testing
