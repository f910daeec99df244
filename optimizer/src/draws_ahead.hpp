// The roulette's kinds of a bar's draws, worked out a few draws ahead of their use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "automation/random_generator.hpp"

namespace krelvo {

// The roulette's kind for a draw depends only on the bar (its open demand as
// the bar began), never on the trial. So each draw is worked out a few draws
// ahead of its use: that work does not wait for the trial, and the processor
// runs it in the shadow of the trial's own chain of dependent steps. At the
// end the generator is stepped back over the draws still ahead, so it ends
// exactly past the draws used. kDirect: the kind of every k from a table, a
// choice fixed per bar and so made at compile time, off the per-draw path.
template <bool kDirect>
class DrawsAhead {
 public:
  // kDirect reads `kind_of_k`; otherwise the walk starts from the guide into the running sums.
  DrawsAhead(const automation::RandomGenerator& generator, const uint8_t* kind_of_k, const int32_t* prefix,
             const int32_t* guide, int32_t shift, int32_t open_total) noexcept
      : draws_(generator),
        kind_of_k_(kind_of_k),
        prefix_(prefix),
        guide_(guide),
        shift_(shift),
        open_total_(static_cast<double>(open_total)) {
    for (std::size_t slot = 0; slot < kAhead; ++slot) draw_into(slot);
  }

  // The kind of the next draw; the slot it leaves takes the draw kAhead further on.
  int32_t next_kind() noexcept {
    const int32_t kind = kind_[slot_];
    draw_into(slot_);
    slot_ = (slot_ + 1) % kAhead;
    return kind;
  }

  // Leaves `generator` just past the draws used: kAhead steps back from the
  // draws made, which costs less once per bar than saving a state per draw.
  void finish(automation::RandomGenerator& generator) const noexcept {
    automation::RandomGenerator back = draws_;  // a local copy stays in registers
    for (std::size_t step = 0; step < kAhead; ++step) back.step_back();
    generator = back;
  }

 private:
  static constexpr std::size_t kAhead = 8;

  void draw_into(std::size_t slot) noexcept {
    const float r = draws_.next();
    // k = floor(r * nrest + 1) in double; the sum is positive, so truncation is the floor.
    const auto k = static_cast<int32_t>(static_cast<double>(r) * open_total_ + 1.0);
    if constexpr (kDirect) {
      kind_[slot] = kind_of_k_[k];
      return;
    }
    int32_t j = guide_[static_cast<uint32_t>(r * 0x1p24f) >> shift_];
    j += static_cast<int32_t>(prefix_[j] < k);  // the usual single step, without a branch
    while (prefix_[j] < k) ++j;
    kind_[slot] = j;
  }

  automation::RandomGenerator draws_;
  const uint8_t* kind_of_k_;
  const int32_t* prefix_;
  const int32_t* guide_;
  int32_t shift_;
  double open_total_;
  std::size_t slot_ = 0;
  std::array<int32_t, kAhead> kind_{};
};

}  // namespace krelvo
