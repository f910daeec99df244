// The random generator of one object: single-precision values uniform in
// [0, 1) with 24 random bits, from xoshiro128++ (period 2^128 - 1). The
// strongest level draws about 10^9 values per run, far below the period.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "automation/runtime_api.hpp"

namespace automation {

class RandomGenerator {
 public:
  using State = std::array<uint32_t, 4>;

  RandomGenerator() { reset_fixed(); }

  float next() noexcept {
    const uint32_t result = std::rotl(state_[0] + state_[3], 7) + state_[0];
    const uint32_t shifted = state_[1] << 9;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= shifted;
    state_[3] = std::rotl(state_[3], 11);
    return static_cast<float>(result >> 8) * 0x1.0p-24f;
  }

  // Undoes one next(), one operation at a time: the state one draw earlier.
  // A consumer that draws ahead of its use steps back over the draws unused.
  void step_back() noexcept {
    const uint32_t mixed3 = std::rotr(state_[3], 11);  // s3 ^ s1
    const uint32_t s0 = state_[0] ^ mixed3;
    // state[1] ^ state[2] is s1 ^ (s1 << 9), which four shifts undo.
    const uint32_t x = state_[1] ^ state_[2];
    const uint32_t s1 = x ^ (x << 9) ^ (x << 18) ^ (x << 27);
    state_ = {s0, s1, state_[1] ^ s1 ^ s0, mixed3 ^ s1};
  }

  // The fixed state that belongs to the argument -1; the value that reset draws is discarded.
  AUTOMATION_RUNTIME_API void reset_fixed() noexcept;
  // Mixes a double into the current state, so equal states and seeds give equal streams.
  AUTOMATION_RUNTIME_API void reseed(double seed) noexcept;
  // A high-resolution clock reading mixed with a process-wide counter: two
  // generators seeded in the same clock tick, on any threads, get different streams.
  AUTOMATION_RUNTIME_API void seed_from_clock() noexcept;
  // The repeatable seeding of a run: reset to the state of -1, then reseed with 3.1415926265.
  void seed_fixed() noexcept {
    reset_fixed();
    reseed(3.1415926265);
  }

  const State& state() const noexcept { return state_; }
  void set_state(const State& state) noexcept { state_ = state; }

 private:
  void seed_state(uint64_t seed) noexcept;
  State state_{};
};

}  // namespace automation
