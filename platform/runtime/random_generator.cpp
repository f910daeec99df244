#include "automation/random_generator.hpp"

#include <unistd.h>
#include <atomic>
#include <chrono>

namespace automation {
namespace {

uint64_t splitmix64(uint64_t& x) noexcept {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::atomic<uint64_t> clock_seed_counter{0};

}  // namespace

void RandomGenerator::seed_state(uint64_t seed) noexcept {
  const uint64_t low = splitmix64(seed);
  const uint64_t high = splitmix64(seed);
  state_ = {static_cast<uint32_t>(low), static_cast<uint32_t>(low >> 32), static_cast<uint32_t>(high),
            static_cast<uint32_t>(high >> 32)};
  // xoshiro must never sit in the all-zero state.
  if ((low | high) == 0) state_[0] = 1;
}

void RandomGenerator::reset_fixed() noexcept {
  seed_state(std::bit_cast<uint32_t>(-1.0f));
  next();
}

void RandomGenerator::reseed(double seed) noexcept {
  uint64_t mix =
      std::bit_cast<uint64_t>(seed) ^ (uint64_t{state_[0]} << 32 | state_[1]) ^ (uint64_t{state_[2]} << 32 | state_[3]);
  seed_state(splitmix64(mix));
}

void RandomGenerator::seed_from_clock() noexcept {
  const auto ticks = static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  const uint64_t count = clock_seed_counter.fetch_add(1, std::memory_order_relaxed);
  uint64_t mix = ticks ^ (count * 0xD1B54A32D192ED03ull) ^ (static_cast<uint64_t>(getpid()) << 40);
  seed_state(splitmix64(mix));
}

}  // namespace automation
