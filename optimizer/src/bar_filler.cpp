#include "bar_filler.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "draws_ahead.hpp"
#include "kind_masks.hpp"

namespace krelvo {
namespace {

constexpr int kGuideBitsMin = 4;
constexpr int kGuideBitsMax = 16;
constexpr int kDrawBits = 24;  // the generator's values are multiples of 2^-24
constexpr int32_t kDirectRouletteLimit = 8192;
// Whole-number piece lengths up to this take the room table instead of the length search.
constexpr double kRoomTableLimit = 65536.0;
// Below this, a whole-number fill, the bar and their difference are exact in double.
constexpr double kExactWholeLimit = 0x1p52;

}  // namespace

void BarFiller::prepare(const ItemKinds& kinds) {
  kinds_ = &kinds;
  kind_count_ = static_cast<int32_t>(kinds.size());
  const auto size = static_cast<std::size_t>(kind_count_);
  // Per-kind counts cover at least one mask word, so a trial resets them with one fixed-size copy.
  const std::size_t slots = std::max(size, std::size_t{64});
  open_prefix_.resize(size);
  remaining_.assign(slots, 0);
  greedy_remaining_.assign(slots, 0);
  best_remaining_.assign(slots, 0);
  greedy_count_.assign(slots, 0);
  // Two buckets per kind keep the walk from the guide at about one step.
  guide_bits_ =
      std::clamp(static_cast<int>(std::bit_width(static_cast<uint32_t>(2 * size))), kGuideBitsMin, kGuideBitsMax);
  guide_.resize((std::size_t{1} << guide_bits_) + 1);
  rank_of_room_.clear();  // a table of an earlier problem must not outlive it
  if (!narrow()) {
    tree_.resize(size);
    trial_stamp_.assign(size, 0);
    trial_kinds_.reserve(size);
    best_cut_.reserve(size);
    return;
  }
  kind_of_k_.resize(kDirectRouletteLimit + 8);
  sorted_length_.assign(64, std::numeric_limits<double>::infinity());  // never fits
  shortest_mask_.assign(65, 0);
  for (std::size_t rank = 0; rank < size; ++rank) {
    const auto position = static_cast<std::size_t>(kinds.by_length[rank]);
    sorted_length_[rank] = kinds.length[position];
    shortest_mask_[rank + 1] = shortest_mask_[rank] | uint64_t{1} << position;
  }
  for (std::size_t rank = size; rank < 64; ++rank) shortest_mask_[rank + 1] = shortest_mask_[rank];
  build_room_table();
}

void BarFiller::build_room_table() {
  const ItemKinds& kinds = *kinds_;
  const bool whole =
      std::all_of(kinds.length.begin(), kinds.length.end(), [](double length) { return length == std::floor(length); });
  if (!whole || kinds.size() == 0 || kinds.longest_length > kRoomTableLimit) return;
  rank_of_room_.assign(static_cast<std::size_t>(kinds.longest_length) + 1, 0);
  std::size_t rank = 0;
  for (std::size_t room = 0; room < rank_of_room_.size(); ++room) {
    while (rank < sorted_length_.size() && sorted_length_[rank] <= static_cast<double>(room)) ++rank;
    rank_of_room_[room] = static_cast<uint8_t>(rank);
  }
}

bool BarFiller::begin_bar(std::span<const int32_t> open, int32_t open_total, double bar_length) {
  bar_length_ = bar_length;
  open_total_ = open_total;
  room_table_fits_ = !rank_of_room_.empty() && bar_length >= 0.0 && bar_length < kExactWholeLimit;
  const auto size = static_cast<std::size_t>(kind_count_);
  int32_t running = 0;
  for (std::size_t position = 0; position < size; ++position) {
    running += open[position];
    open_prefix_[position] = running;
    remaining_[position] = open[position];
  }
  bool some_piece_fits = false;
  if (narrow()) {
    uint64_t open_bits = 0;
    for (std::size_t position = 0; position < size; ++position) open_bits |= uint64_t{open[position] > 0} << position;
    WordMask<64> fit{open_bits, length_order()};
    fit.drop_too_long(0, 0.0);
    fit_bits_ = fit.bits;
    some_piece_fits = fit_bits_ != 0;
  } else {
    tree_.build(kinds_->length, open);
    some_piece_fits = tree_.highest_fitting(kind_count_ - 1, 0.0, bar_length) >= 0;
  }
  // Up to a few thousand open pieces, a table of the kind of every k costs
  // less per bar than the draws it saves a walk each.
  direct_roulette_ = narrow() && open_total <= kDirectRouletteLimit;
  if (direct_roulette_) {
    // Each kind's run of k is written eight bytes at a time; the bytes written
    // past its end are rewritten by the next run (or fall in the padding).
    uint8_t* kind_of_k = kind_of_k_.data();
    int32_t below = 0;
    for (std::size_t position = 0; position < size; ++position) {
      const uint64_t eight = 0x0101010101010101ull * position;
      for (int32_t k = below + 1; k <= open_prefix_[position]; k += 8) std::memcpy(kind_of_k + k, &eight, 8);
      below = open_prefix_[position];
    }
  } else if (open_total > 0) {
    build_guide();
  }
  return some_piece_fits;
}

LengthOrder BarFiller::length_order() const noexcept {
  LengthOrder order{sorted_length_.data(), shortest_mask_.data(), bar_length_};
  if (room_table_fits_) {
    order.rank_of_room = rank_of_room_.data();
    order.whole_bar = std::floor(bar_length_);
    order.longest = static_cast<double>(rank_of_room_.size() - 1);
  }
  return order;
}

void BarFiller::build_guide() {
  // Bucket g holds the draws g / G <= r < (g + 1) / G; its smallest k is
  // floor(g * nrest / G) + 1, exact in double as in the draw itself, and k
  // grows with r. So guide[g] counts the kinds whose running sum is below that
  // k, which is every kind a with ceil(sum(a) * G / nrest) <= g: each kind adds
  // one at its bucket, and a running count makes the table, with no branch.
  const int32_t buckets = 1 << guide_bits_;
  std::fill(guide_.begin(), guide_.end(), 0);
  const double scale = static_cast<double>(buckets);
  const auto open_total = static_cast<double>(open_total_);
  for (const int32_t sum : open_prefix_) {
    const double exact = static_cast<double>(sum) * scale / open_total;
    const auto whole = static_cast<int32_t>(exact);  // the ceiling of a value >= 0, without a libm call
    ++guide_[static_cast<std::size_t>(whole + static_cast<int32_t>(whole < exact))];
  }
  int32_t running = 0;
  for (std::size_t bucket = 0; bucket < static_cast<std::size_t>(buckets); ++bucket) {
    running += guide_[bucket];
    guide_[bucket] = running;
  }
}

double BarFiller::fill(int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                       std::span<int32_t> row) {
  if (ntrial <= 0 || open_total_ == 0) return bar_length_;
  const LengthOrder order = length_order();
  if (direct_roulette_) return fill_narrow<true>(order, ngreedy, ntrial, generator, row);
  if (narrow()) return fill_narrow<false>(order, ngreedy, ntrial, generator, row);
  return fill_wide(ngreedy, ntrial, generator, row);
}

template <bool kDirect>
double BarFiller::fill_narrow(const LengthOrder& order, int32_t ngreedy, int32_t ntrial,
                              automation::RandomGenerator& generator, std::span<int32_t> row) {
  const uint64_t bits = fit_bits_;
  if (kind_count_ < 16) return fill_with<WordMask<16>, kDirect>({bits, order}, ngreedy, ntrial, generator, row);
  if (kind_count_ < 32) return fill_with<WordMask<32>, kDirect>({bits, order}, ngreedy, ntrial, generator, row);
  return fill_with<WordMask<64>, kDirect>({bits, order}, ngreedy, ntrial, generator, row);
}

template <class Mask, bool kDirect>
double BarFiller::fill_with(Mask fit, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                            std::span<int32_t> row) {
  Mask greedy = fit;
  Mask trial = fit;
  const double length = bar_length_;
  const double* piece = kinds_->length.data();
  int32_t* remaining = remaining_.data();
  const auto size = static_cast<std::size_t>(kind_count_);
  std::fill(greedy_count_.begin(), greedy_count_.begin() + static_cast<std::ptrdiff_t>(size), 0);

  // Greedy phase, once for all trials: the highest open kind that fits, again and again.
  double greedy_fill = 0.0;
  for (int32_t step = 0; step < ngreedy; ++step) {
    int32_t kind = 0;
    bool placed = false;
    while (greedy.highest_at_or_below(kind_count_ - 1, kind)) {
      if (greedy_fill + piece[kind] <= length) {
        placed = true;
        break;
      }
      greedy.drop_too_long(kind, greedy_fill);
    }
    if (!placed) break;  // the remaining steps would place nothing either
    greedy_fill += piece[kind];
    ++greedy_count_[static_cast<std::size_t>(kind)];
    greedy.clear_if(kind, --remaining[kind] == 0);
  }

  // Every trial starts from the greedy result; its own pieces show only in
  // `remaining`, so the chosen trial is kept as a copy of that array.
  const std::size_t slot_bytes = Mask::kCountSlots * sizeof(int32_t);
  std::memcpy(greedy_remaining_.data(), remaining, slot_bytes);
  DrawsAhead<kDirect> draws(generator, kind_of_k_.data(), open_prefix_.data(), guide_.data(), kDrawBits - guide_bits_,
                            open_total_);
  double best_fill = 0.0;
  bool chosen = false;
  for (int32_t t = 0; t < ntrial; ++t) {
    trial.load(greedy);
    std::memcpy(remaining, greedy_remaining_.data(), slot_bytes);
    double fill = greedy_fill;
    for (;;) {
      const int32_t j = draws.next_kind();
      int32_t kind = 0;
      bool fits = false;
      while (trial.highest_at_or_below(j, kind)) {
        if (fill + piece[kind] <= length) {
          fits = true;
          break;
        }
        trial.drop_too_long(kind, fill);
      }
      if (!fits) break;
      fill += piece[kind];
      trial.clear_if(kind, --remaining[kind] == 0);
    }
    if (fill > best_fill) {
      best_fill = fill;
      chosen = true;
      std::memcpy(best_remaining_.data(), remaining, slot_bytes);
    }
  }
  draws.finish(generator);

  if (chosen) {
    for (std::size_t position = 0; position < static_cast<std::size_t>(kind_count_); ++position)
      row[position] = greedy_count_[position] + greedy_remaining_[position] - best_remaining_[position];
  }
  return length - best_fill;
}

double BarFiller::fill_wide(int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                            std::span<int32_t> row) {
  const double length = bar_length_;
  const double* piece = kinds_->length.data();
  int32_t* remaining = remaining_.data();
  const auto size = static_cast<std::size_t>(kind_count_);
  std::fill(greedy_count_.begin(), greedy_count_.begin() + static_cast<std::ptrdiff_t>(size), 0);

  double greedy_fill = 0.0;
  for (int32_t step = 0; step < ngreedy; ++step) {
    const int32_t kind = tree_.highest_fitting(kind_count_ - 1, greedy_fill, length);
    if (kind < 0) break;  // the remaining steps would place nothing either
    greedy_fill += piece[kind];
    ++greedy_count_[static_cast<std::size_t>(kind)];
    if (--remaining[kind] == 0) tree_.remove(kind);
  }
  std::copy(remaining, remaining + size, greedy_remaining_.begin());

  // A trial touches few kinds: it notes them (stamped with the trial's
  // number), and only they are reset afterwards and kept for the best.
  DrawsAhead<false> draws(generator, nullptr, open_prefix_.data(), guide_.data(), kDrawBits - guide_bits_, open_total_);
  const int32_t* greedy_remaining = greedy_remaining_.data();
  double best_fill = 0.0;
  bool chosen = false;
  best_cut_.clear();
  for (int32_t t = 0; t < ntrial; ++t) {
    const uint64_t stamp = ++trial_number_;
    trial_kinds_.clear();
    double fill = greedy_fill;
    for (;;) {
      const int32_t kind = tree_.highest_fitting(draws.next_kind(), fill, length);
      if (kind < 0) break;
      fill += piece[kind];
      if (trial_stamp_[static_cast<std::size_t>(kind)] != stamp) {
        trial_stamp_[static_cast<std::size_t>(kind)] = stamp;
        trial_kinds_.push_back(kind);
      }
      if (--remaining[kind] == 0) tree_.remove(kind);
    }
    if (fill > best_fill) {
      best_fill = fill;
      chosen = true;
      best_cut_.clear();
      for (const int32_t kind : trial_kinds_) best_cut_.push_back({kind, greedy_remaining[kind] - remaining[kind]});
    }
    for (const int32_t kind : trial_kinds_) {
      if (remaining[kind] == 0) tree_.put_back(kind, piece[kind]);
      remaining[kind] = greedy_remaining[kind];
    }
  }
  draws.finish(generator);

  if (chosen) {
    std::copy(greedy_count_.begin(), greedy_count_.begin() + static_cast<std::ptrdiff_t>(size), row.begin());
    for (const KindCount& cut : best_cut_) row[static_cast<std::size_t>(cut.kind)] += cut.count;
  }
  return length - best_fill;
}

}  // namespace krelvo
