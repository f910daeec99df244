// fillbar, fast: fills one bar with `ntrial` randomized trials and keeps the
// fullest. It draws exactly the values, picks exactly the kinds and keeps
// exactly the pattern that the plain rules give (the reference builder in
// optimizer/reference is the oracle), at a few nanoseconds per draw:
// - a kind without open demand can never take a piece nor be where the
//   roulette stops, so it only has to stay out of the mask below;
// - the roulette weighs the demand as the bar began, so its running sums and
//   a table of the kind for every k (or a guide into the sums, for many open
//   pieces) are built once per bar, and each draw's kind is worked out a few
//   draws ahead, off the trial's critical path (the generator is stepped back
//   over the draws not used, once per bar);
// - with fewer than 64 kinds, the kinds that may still take a piece in a
//   trial are bits of a mask: a scan from j is the highest set bit at or below
//   j, a kind found full is cleared for the rest of the trial, and a kind
//   found too long clears at once every kind that no longer fits, by a
//   fixed-step search over the kinds in length order (the fill only grows),
//   or, with whole-number lengths, by one look-up of the room left;
// - with more kinds, the open kinds are a tree of their shortest lengths,
//   searched in O(log n) per scan, and a trial resets only the kinds it
//   touched, so its cost does not grow with the number of kinds;
// - the greedy phase draws nothing and is the same in every trial, so it runs
//   once per bar and every trial starts from its result with one fixed-size copy.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "automation/random_generator.hpp"
#include "item_kinds.hpp"
#include "open_kind_tree.hpp"

namespace krelvo {

struct LengthOrder;

class BarFiller {
 public:
  // Sizes every buffer and orders the kinds by length, once per problem, so
  // that filling bars allocates nothing.
  void prepare(const ItemKinds& kinds);

  // Sets up one bar of length `bar_length` against the open demand (one entry
  // per kind of the prepared ItemKinds, `open_total` their sum); true when an
  // open piece fits on the empty bar.
  bool begin_bar(std::span<const int32_t> open, int32_t open_total, double bar_length);

  // The trials of the bar set up last; writes the counts of the chosen pattern
  // into `row` (one count per prepared kind, zeroed by the caller) and returns the
  // bar's waste: its length minus the chosen filled length.
  double fill(int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator, std::span<int32_t> row);

 private:
  template <bool kDirect>
  double fill_narrow(const LengthOrder& order, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                     std::span<int32_t> row);
  double fill_wide(int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator, std::span<int32_t> row);
  template <class Mask, bool kDirect>
  double fill_with(Mask fit, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                   std::span<int32_t> row);
  void build_guide();
  void build_room_table();
  LengthOrder length_order() const noexcept;
  // One mask word, with room for the count of kinds that fit (0..63).
  bool narrow() const noexcept { return kind_count_ < 64; }

  const ItemKinds* kinds_ = nullptr;
  int32_t kind_count_ = 0;
  double bar_length_ = 0.0;
  int32_t open_total_ = 0;
  std::vector<int32_t> open_prefix_;       // running sum of the open demand
  std::vector<int32_t> remaining_;         // open demand minus the pieces of the current trial
  std::vector<int32_t> greedy_remaining_;  // ... after the greedy phase alone
  std::vector<int32_t> best_remaining_;    // ... of the fullest trial so far
  std::vector<int32_t> greedy_count_;
  // The roulette's guide: guide_[g] is where the running sum reaches the
  // smallest k of draws whose top bits are g, so the walk starts next to its end.
  int32_t guide_bits_ = 0;
  std::vector<int32_t> guide_;
  // Fewer than 64 kinds and few open pieces: kind_of_k_[k] is the roulette's kind for k itself.
  bool direct_roulette_ = false;
  std::vector<uint8_t> kind_of_k_;
  // Fewer than 64 kinds: their lengths in ascending order (padded to 64 with
  // infinity) and the mask of the r shortest for r = 0..64.
  std::vector<double> sorted_length_;
  std::vector<uint64_t> shortest_mask_;
  // Whole-number lengths (fewer than 64 kinds): for each room up to the
  // longest length, the number of kinds that fit in it; usable on a bar whose
  // length keeps whole-number fills exact.
  std::vector<uint8_t> rank_of_room_;
  bool room_table_fits_ = false;
  // Fewer than 64 kinds: the open kinds that fit on the empty bar.
  uint64_t fit_bits_ = 0;
  // More kinds: the open kinds as a tree, the kinds one trial touched (marked
  // with its number in trial_stamp_) and the pieces of the fullest trial.
  struct KindCount {
    int32_t kind;
    int32_t count;
  };
  OpenKindTree tree_;
  uint64_t trial_number_ = 0;
  std::vector<uint64_t> trial_stamp_;
  std::vector<int32_t> trial_kinds_;
  std::vector<KindCount> best_cut_;
};

}  // namespace krelvo
