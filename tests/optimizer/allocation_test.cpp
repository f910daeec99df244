// Plan construction allocates only when a plan grows past the room it had:
// counted with a replaced global operator new in this test program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "light_levels.hpp"
#include "plan_builder.hpp"
#include "problem_fixtures.hpp"

namespace {
std::atomic<long> allocations{0};
}

// The replacement pairs malloc with free, which the compiler cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace krelvo::testing {
namespace {

Problem forty_kinds() {
  Problem problem;
  for (int i = 1; i <= 40; ++i) {
    problem.lengths.push_back(100.0 + 37.5 * i);
    problem.quantities.push_back(1 + i % 7);
  }
  problem.stock_lengths = {3000.0, 6000.0};
  problem.stock_quantities = {5, 0};
  return problem;
}

TEST(Allocation, PlansWithinTheirRoomAllocateNothing) {
  const ProblemInputs inputs = inputs_of(forty_kinds());
  PlanBuilder builder;
  automation::RandomGenerator generator;
  generator.seed_fixed();
  Plan plan;
  plan.counts.resize(1'000'000);
  builder.build(inputs, 0, 100, generator, plan);  // the first plan sizes the builder
  const long before = allocations.load();
  for (int32_t ngreedy = 0; ngreedy <= 2; ++ngreedy)
    for (int i = 0; i < 50; ++i) builder.build(inputs, ngreedy, 20 + 20 * (i % 5), generator, plan);
  EXPECT_EQ(allocations.load() - before, 0);
}

TEST(Allocation, ALevelRunAgainAllocatesNothing) {
  OptimizerState state;
  state.inputs = inputs_of(forty_kinds());
  SearchRun run(state, state.builder, [] {});
  state.generator.seed_fixed();
  long before = allocations.load();
  optstandardna(run);
  const long first_run = allocations.load() - before;
  // The same run again builds the same plans into buffers that have their size:
  // 1501 plans of about 26 bars and 100 trials per bar at most, no allocation.
  state.generator.seed_fixed();
  before = allocations.load();
  optstandardna(run);
  EXPECT_EQ(allocations.load() - before, 0);
  EXPECT_EQ(state.plans_built, 2 * 1501u);
  EXPECT_GT(state.best_plan.bars, 20);
  EXPECT_LT(first_run, 100);  // sizing and growth only, not per plan or bar
}

}  // namespace
}  // namespace krelvo::testing
