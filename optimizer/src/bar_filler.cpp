#include "bar_filler.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace krelvo {

// The open kinds in length order, for clearing every kind that stops fitting at once.
struct LengthOrder {
  const double* sorted_length = nullptr;
  const uint64_t* shortest_mask = nullptr;
  double bar_length = 0.0;
  // Whole-number lengths: rank_of_room[r] counts the kinds of length <= r, for
  // r up to the longest; null when the bar or the lengths do not allow it.
  const uint8_t* rank_of_room = nullptr;
  double whole_bar = 0.0;
  double longest = 0.0;
};

namespace {

constexpr int kGuideBitsMin = 4;
constexpr int kGuideBitsMax = 10;
constexpr int kDrawBits = 24;  // the generator's values are multiples of 2^-24
constexpr int32_t kDirectRouletteLimit = 8192;
// Whole-number piece lengths up to this take the room table instead of the length search.
constexpr double kRoomTableLimit = 65536.0;
// Below this, a whole-number fill, the bar and their difference are exact in double.
constexpr double kExactWholeLimit = 0x1p52;

// Fewer than kSlots kinds (16, 32 or 64): the mask is one register, and a
// trial's counts and the length search span kSlots entries.
template <int32_t kSlots>
struct WordMask {
  static_assert(kSlots == 16 || kSlots == 32 || kSlots == 64);
  static constexpr std::size_t kCountSlots = kSlots;
  uint64_t bits = 0;
  LengthOrder order;

  void load(const WordMask& from) noexcept { bits = from.bits; }
  bool highest_at_or_below(int32_t position, int32_t& found) const noexcept {
    const uint64_t candidates = bits & (~uint64_t{0} >> (63 - position));
    if (candidates == 0) return false;
    found = 63 - std::countl_zero(candidates);
    return true;
  }
  void clear(int32_t position) noexcept { bits &= ~(uint64_t{1} << position); }
  // A branch, not a masked clear: a kind seldom runs out within a trial, and a
  // predicted branch keeps the open count off the chain that finds the next kind.
  void clear_if(int32_t position, bool empty) noexcept {
    if (empty) clear(position);
  }
  // `position` does not fit at `fill`: keep only the kinds that still do,
  // found among the shorter ones (the same test `fill + length <= bar`, which
  // holds for a prefix of the length order). Two rounds of independent tests
  // over the lengths padded with infinity, first the last length of each group
  // of eight, then the eight of the group the prefix ends in: no branch to
  // mispredict and a short chain of dependent steps. At most kSlots - 1 kinds
  // fit, since there are fewer kinds than slots.
  void drop_too_long(int32_t, double fill) noexcept {
    if (order.rank_of_room != nullptr) {
      // Whole numbers: fill + length <= bar exactly when length <= floor(bar) - fill,
      // and the fill never passes floor(bar), so the room is a valid index.
      const double room = std::min(order.whole_bar - fill, order.longest);
      bits &= order.shortest_mask[order.rank_of_room[static_cast<std::size_t>(room)]];
      return;
    }
    const double* length = order.sorted_length;
    const double bar = order.bar_length;
    int32_t groups = 0;
    for (int32_t group = 1; group < kSlots / 8; ++group) groups += fill + length[group * 8 - 1] <= bar ? 1 : 0;
    const double* in_group = length + groups * 8;
    int32_t first = groups * 8;
    for (int32_t i = 0; i < 8; ++i) first += fill + in_group[i] <= bar ? 1 : 0;
    bits &= order.shortest_mask[first];
  }
};

// More open kinds: the words live in the filler's buffers.
struct WordsMask {
  uint64_t* words = nullptr;
  int32_t count = 0;

  void load(const WordsMask& from) noexcept {
    std::memcpy(words, from.words, static_cast<std::size_t>(count) * sizeof(uint64_t));
  }
  bool highest_at_or_below(int32_t position, int32_t& found) const noexcept {
    int32_t word = position >> 6;
    uint64_t candidates = words[word] & (~uint64_t{0} >> (63 - (position & 63)));
    while (candidates == 0) {
      if (word == 0) return false;
      candidates = words[--word];
    }
    found = word * 64 + 63 - std::countl_zero(candidates);
    return true;
  }
  void clear(int32_t position) noexcept { words[position >> 6] &= ~(uint64_t{1} << (position & 63)); }
  void clear_if(int32_t position, bool empty) noexcept {
    if (empty) clear(position);
  }
  void drop_too_long(int32_t position, double) noexcept { clear(position); }
};

// The generator's state one draw earlier: its step undone, one operation at a time.
automation::RandomGenerator::State state_before(const automation::RandomGenerator::State& after) noexcept {
  const uint32_t mixed3 = std::rotr(after[3], 11);  // s3 ^ s1
  const uint32_t s0 = after[0] ^ mixed3;
  // after[1] ^ after[2] is s1 ^ (s1 << 9), which four shifts undo.
  const uint32_t x = after[1] ^ after[2];
  const uint32_t s1 = x ^ (x << 9) ^ (x << 18) ^ (x << 27);
  return {s0, s1, after[1] ^ s1 ^ s0, mixed3 ^ s1};
}

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
    automation::RandomGenerator::State state = draws_.state();
    for (std::size_t step = 0; step < kAhead; ++step) state = state_before(state);
    generator.set_state(state);
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
  const std::size_t words = (size + 63) / 64 + 1;
  fit_words_.assign(words, 0);
  greedy_words_.assign(words, 0);
  trial_words_.assign(words, 0);
  rank_of_room_.clear();  // a table of an earlier problem must not outlive it
  if (!narrow()) return;
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
  if (narrow()) {
    uint64_t open_bits = 0;
    for (std::size_t position = 0; position < size; ++position) open_bits |= uint64_t{open[position] > 0} << position;
    WordMask<64> fit{open_bits, length_order()};
    fit.drop_too_long(0, 0.0);
    fit_words_[0] = fit.bits;
  } else {
    std::fill(fit_words_.begin(), fit_words_.end(), 0);
    for (std::size_t position = 0; position < size; ++position)
      // Nothing longer than the bar fits at any fill, so such kinds start cleared.
      if (open[position] > 0 && kinds_->length[position] <= bar_length)
        fit_words_[position >> 6] |= uint64_t{1} << (position & 63);
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
  return std::any_of(fit_words_.begin(), fit_words_.end(), [](uint64_t word) { return word != 0; });
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
  const auto words = (kind_count_ + 63) / 64;
  return fill_with<WordsMask, false>(WordsMask{fit_words_.data(), words}, ngreedy, ntrial, generator, row);
}

template <bool kDirect>
double BarFiller::fill_narrow(const LengthOrder& order, int32_t ngreedy, int32_t ntrial,
                              automation::RandomGenerator& generator, std::span<int32_t> row) {
  const uint64_t bits = fit_words_[0];
  if (kind_count_ < 16) return fill_with<WordMask<16>, kDirect>({bits, order}, ngreedy, ntrial, generator, row);
  if (kind_count_ < 32) return fill_with<WordMask<32>, kDirect>({bits, order}, ngreedy, ntrial, generator, row);
  return fill_with<WordMask<64>, kDirect>({bits, order}, ngreedy, ntrial, generator, row);
}

template <class Mask, bool kDirect>
double BarFiller::fill_with(Mask fit, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                            std::span<int32_t> row) {
  Mask greedy = fit;
  Mask trial = fit;
  if constexpr (std::is_same_v<Mask, WordsMask>) {
    greedy.words = greedy_words_.data();
    trial.words = trial_words_.data();
    greedy.load(fit);
  }
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
  std::size_t slots = static_cast<std::size_t>(kind_count_);
  if constexpr (!std::is_same_v<Mask, WordsMask>) slots = Mask::kCountSlots;
  const std::size_t slot_bytes = slots * sizeof(int32_t);
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
    const ItemKinds& kinds = *kinds_;
    for (std::size_t position = 0; position < static_cast<std::size_t>(kind_count_); ++position) {
      const auto item = static_cast<std::size_t>(kinds.index[position]);
      row[item] = greedy_count_[position] + greedy_remaining_[position] - best_remaining_[position];
    }
  }
  return length - best_fill;
}

}  // namespace krelvo
