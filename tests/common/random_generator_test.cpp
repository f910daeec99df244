#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "automation/random_generator.hpp"

namespace automation {
namespace {

TEST(RandomGenerator, FixedSeedingRepeatsAcrossGenerators) {
  RandomGenerator first;
  RandomGenerator second;
  first.next();  // whatever state it had, seeding resets it
  first.seed_fixed();
  second.seed_fixed();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(first.next(), second.next());
  EXPECT_EQ(first.state(), second.state());
}

TEST(RandomGenerator, ValuesLieInTheHalfOpenUnitIntervalWith24Bits) {
  RandomGenerator generator;
  generator.seed_fixed();
  double sum = 0;
  for (int i = 0; i < 100000; ++i) {
    const float value = generator.next();
    ASSERT_GE(value, 0.0f);
    ASSERT_LT(value, 1.0f);
    // a multiple of 2^-24: exactly representable, no rounding up to 1
    ASSERT_EQ(static_cast<float>(static_cast<uint32_t>(value * 0x1.0p24f)) * 0x1.0p-24f, value);
    sum += value;
  }
  EXPECT_NEAR(sum / 100000, 0.5, 0.01);
}

// Walks forward from several seeds, recording every state, then back: each
// step back must land exactly on the state recorded one draw earlier, and the
// draws after stepping back must repeat. The states cover all bit patterns
// the undone shifts and rotations touch.
TEST(RandomGenerator, StepBackUndoesNextOverManyStates) {
  for (const double seed : {3.1415926265, -1.0, 0.0, 1e300}) {
    RandomGenerator generator;
    generator.reset_fixed();
    generator.reseed(seed);
    std::vector<RandomGenerator::State> states{generator.state()};
    std::vector<float> values;
    for (int i = 0; i < 20000; ++i) {
      values.push_back(generator.next());
      states.push_back(generator.state());
    }
    for (int i = 20000; i > 0; --i) {
      generator.step_back();
      ASSERT_EQ(generator.state(), states[static_cast<std::size_t>(i) - 1]) << "seed " << seed << ", step " << i;
    }
    for (int i = 0; i < 100; ++i) ASSERT_EQ(generator.next(), values[static_cast<std::size_t>(i)]);
  }
  // One word a single bit, the others all ones: every bit the undone shifts move shows.
  for (int bit = 0; bit < 128; ++bit) {
    RandomGenerator::State state{~0u, ~0u, ~0u, ~0u};
    state[static_cast<std::size_t>(bit / 32)] = uint32_t{1} << (bit % 32);
    RandomGenerator generator;
    generator.set_state(state);
    generator.next();
    generator.step_back();
    ASSERT_EQ(generator.state(), state) << "bit " << bit;
  }
}

TEST(RandomGenerator, ReseedingWithAnotherDoubleGivesAnotherStream) {
  RandomGenerator fixed;
  fixed.seed_fixed();
  RandomGenerator other;
  other.reset_fixed();
  other.reseed(3.0);
  EXPECT_NE(fixed.state(), other.state());
}

TEST(RandomGenerator, ClockSeedsDifferInTheSameTickAndAcrossThreads) {
  std::set<RandomGenerator::State> states;
  for (int i = 0; i < 100; ++i) {
    RandomGenerator generator;
    generator.seed_from_clock();
    states.insert(generator.state());
  }
  std::vector<RandomGenerator> generators(4);
  std::vector<std::thread> threads;
  for (auto& generator : generators) threads.emplace_back([&generator] { generator.seed_from_clock(); });
  for (auto& thread : threads) thread.join();
  for (const auto& generator : generators) states.insert(generator.state());
  EXPECT_EQ(states.size(), 104u);
}

}  // namespace
}  // namespace automation
