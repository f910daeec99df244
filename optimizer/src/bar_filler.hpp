// fillbar, fast: fills one bar with `ntrial` randomized trials and keeps the
// fullest. It draws exactly the values, picks exactly the kinds and keeps
// exactly the pattern that the plain rules give (the reference builder in
// optimizer/reference is the oracle), at a few nanoseconds per draw:
// - only kinds with open demand take part; a kind without open demand can
//   never take a piece nor be where the roulette stops;
// - the roulette weighs the demand as the bar began, so its prefix sums and a
//   guide table into them are built once per bar;
// - the kinds that may still take a piece in a trial are bits of a mask: a
//   scan from j is the highest set bit at or below j, and a kind found full or
//   too long is cleared for the rest of the trial (the fill only grows);
// - the greedy phase draws nothing and is the same in every trial, so it runs
//   once per bar and every trial starts from its result.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "automation/random_generator.hpp"
#include "item_kinds.hpp"

namespace krelvo {

class BarFiller {
 public:
  // Sizes every buffer for `kinds`, so that filling bars allocates nothing.
  void reserve(const ItemKinds& kinds);

  struct BarStart {
    bool some_piece_fits = false;  // an open piece fits on the empty bar
    double longest_open_length = 0.0;
  };
  // Sets up one bar of length `bar_length` against the open demand (one entry
  // per kind of `kinds`, `open_total` their sum).
  BarStart begin_bar(const ItemKinds& kinds, std::span<const int32_t> open, int32_t open_total,
                     double bar_length);

  // The trials of the bar set up last; writes the counts of the chosen pattern
  // into `row` (indexed by item index, zeroed by the caller) and returns the
  // bar's waste: its length minus the chosen filled length.
  double fill(int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
              std::span<int32_t> row);

 private:
  template <class Mask>
  double fill_with(Mask mask, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                   std::span<int32_t> row);
  void build_guide();

  const ItemKinds* kinds_ = nullptr;
  double bar_length_ = 0.0;
  int32_t open_total_ = 0;
  // One entry per kind with open demand at the start of the bar, ascending index.
  int32_t active_count_ = 0;
  std::vector<int32_t> active_kind_;  // position in ItemKinds
  std::vector<double> active_length_;
  std::vector<int32_t> open_prefix_;  // running sum of the open demand
  std::vector<int32_t> remaining_;    // open demand minus the pieces of the current trial
  std::vector<int32_t> greedy_count_;
  // The roulette's guide: guide_[g] is where the running sum reaches the
  // smallest k of draws whose top bits are g, so the walk starts next to its end.
  std::vector<int32_t> guide_;
  int32_t guide_shift_ = 0;
  // Mask words: the kinds that fit on the empty bar, then the greedy result,
  // then one trial's working copy (used when more than 64 kinds are open).
  std::vector<uint64_t> fit_words_;
  std::vector<uint64_t> greedy_words_;
  std::vector<uint64_t> trial_words_;
  std::vector<int32_t> trial_pieces_;  // kinds placed by the current trial, in order
  std::vector<int32_t> best_pieces_;
};

}  // namespace krelvo
