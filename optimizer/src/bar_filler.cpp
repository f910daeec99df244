#include "bar_filler.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace krelvo {
namespace {

// Guide table sizes: at least two buckets per open kind keeps the walk from
// the guide to the roulette's end at about one step.
constexpr int kGuideBitsMin = 4;
constexpr int kGuideBitsMax = 10;
constexpr int kDrawBits = 24;  // the generator's values are multiples of 2^-24

// Up to 64 open kinds: the mask is one register.
struct WordMask {
  uint64_t bits = 0;

  void load(const WordMask& from) noexcept { bits = from.bits; }
  bool highest_at_or_below(int32_t position, int32_t& found) const noexcept {
    const uint64_t candidates = bits & (~uint64_t{0} >> (63 - position));
    if (candidates == 0) return false;
    found = 63 - std::countl_zero(candidates);
    return true;
  }
  void clear(int32_t position) noexcept { bits &= ~(uint64_t{1} << position); }
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
};

}  // namespace

void BarFiller::reserve(const ItemKinds& kinds) {
  const std::size_t size = kinds.size();
  const std::size_t words = (size + 63) / 64 + 1;
  active_kind_.resize(size);
  active_length_.resize(size);
  open_prefix_.resize(size);
  remaining_.resize(size);
  greedy_count_.resize(size);
  guide_.resize(std::size_t{1} << kGuideBitsMax);
  fit_words_.resize(words);
  greedy_words_.resize(words);
  trial_words_.resize(words);
  const auto pieces = static_cast<std::size_t>(std::min(kinds.total_demand, int32_t{256})) + 1;
  if (trial_pieces_.size() < pieces) trial_pieces_.resize(pieces);
  if (best_pieces_.size() < pieces) best_pieces_.resize(pieces);
}

BarFiller::BarStart BarFiller::begin_bar(const ItemKinds& kinds, std::span<const int32_t> open,
                                         int32_t open_total, double bar_length) {
  kinds_ = &kinds;
  bar_length_ = bar_length;
  open_total_ = open_total;
  std::fill(fit_words_.begin(), fit_words_.end(), 0);
  BarStart start;
  int32_t active = 0;
  int32_t running = 0;
  for (std::size_t position = 0; position < kinds.size(); ++position) {
    if (open[position] <= 0) continue;
    const double piece = kinds.length[position];
    const auto slot = static_cast<std::size_t>(active);
    active_kind_[slot] = static_cast<int32_t>(position);
    active_length_[slot] = piece;
    running += open[position];
    open_prefix_[slot] = running;
    remaining_[slot] = open[position];
    greedy_count_[slot] = 0;
    // Nothing longer than the bar fits at any fill, so such kinds start cleared.
    if (piece <= bar_length) {
      fit_words_[slot >> 6] |= uint64_t{1} << (slot & 63);
      start.some_piece_fits = true;
    }
    start.longest_open_length = std::max(start.longest_open_length, piece);
    ++active;
  }
  active_count_ = active;
  if (active > 0) build_guide();
  return start;
}

void BarFiller::build_guide() {
  const int bits = std::clamp(static_cast<int>(std::bit_width(static_cast<uint32_t>(2 * active_count_))),
                              kGuideBitsMin, kGuideBitsMax);
  guide_shift_ = kDrawBits - bits;
  const auto open_total = static_cast<double>(open_total_);
  int32_t position = 0;
  for (int32_t bucket = 0; bucket < (1 << bits); ++bucket) {
    // The smallest draw of the bucket, exact in single precision; k grows with the draw.
    const auto lowest_draw = static_cast<float>(std::ldexp(bucket, -bits));
    const auto k = static_cast<int32_t>(static_cast<double>(lowest_draw) * open_total + 1.0);
    while (open_prefix_[static_cast<std::size_t>(position)] < k) ++position;
    guide_[static_cast<std::size_t>(bucket)] = position;
  }
}

double BarFiller::fill(int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
                       std::span<int32_t> row) {
  if (ntrial <= 0 || active_count_ == 0) return bar_length_;
  if (active_count_ <= 64)
    return fill_with(WordMask{fit_words_[0]}, ngreedy, ntrial, generator, row);
  const auto words = (active_count_ + 63) / 64;
  return fill_with(WordsMask{fit_words_.data(), words}, ngreedy, ntrial, generator, row);
}

template <class Mask>
double BarFiller::fill_with(Mask fit, int32_t ngreedy, int32_t ntrial,
                            automation::RandomGenerator& generator, std::span<int32_t> row) {
  Mask greedy = fit;
  Mask trial = fit;
  if constexpr (std::is_same_v<Mask, WordsMask>) {
    greedy.words = greedy_words_.data();
    trial.words = trial_words_.data();
    greedy.load(fit);
  }
  const double length = bar_length_;
  const double* piece = active_length_.data();
  int32_t* remaining = remaining_.data();

  // Greedy phase, once for all trials: the highest open kind that fits, again and again.
  double greedy_fill = 0.0;
  for (int32_t step = 0; step < ngreedy; ++step) {
    int32_t kind = 0;
    bool placed = false;
    while (greedy.highest_at_or_below(active_count_ - 1, kind)) {
      if (greedy_fill + piece[kind] <= length) {
        placed = true;
        break;
      }
      greedy.clear(kind);
    }
    if (!placed) break;  // the remaining steps would place nothing either
    greedy_fill += piece[kind];
    ++greedy_count_[static_cast<std::size_t>(kind)];
    if (--remaining[kind] == 0) greedy.clear(kind);
  }

  const auto open_total = static_cast<double>(open_total_);
  const int32_t* prefix = open_prefix_.data();
  const int32_t* guide = guide_.data();
  const int32_t shift = guide_shift_;
  automation::RandomGenerator draws = generator;  // a local copy stays in registers
  double best_fill = 0.0;
  std::size_t best_pieces = 0;
  bool chosen = false;
  for (int32_t t = 0; t < ntrial; ++t) {
    trial.load(greedy);
    double fill = greedy_fill;
    std::size_t placed = 0;
    for (;;) {
      const float r = draws.next();
      const auto k = static_cast<int32_t>(static_cast<double>(r) * open_total + 1.0);
      int32_t j = guide[static_cast<uint32_t>(r * 0x1p24f) >> shift];
      while (prefix[j] < k) ++j;
      int32_t kind = 0;
      bool fits = false;
      while (trial.highest_at_or_below(j, kind)) {
        if (fill + piece[kind] <= length) {
          fits = true;
          break;
        }
        trial.clear(kind);
      }
      if (!fits) break;
      fill += piece[kind];
      if (--remaining[kind] == 0) trial.clear(kind);
      if (placed == trial_pieces_.size()) trial_pieces_.resize(2 * placed);
      trial_pieces_[placed++] = kind;
    }
    if (fill > best_fill) {
      best_fill = fill;
      chosen = true;
      if (best_pieces_.size() < placed) best_pieces_.resize(trial_pieces_.size());
      std::copy_n(trial_pieces_.begin(), placed, best_pieces_.begin());
      best_pieces = placed;
    }
    for (std::size_t i = 0; i < placed; ++i) ++remaining[trial_pieces_[i]];
  }
  generator = draws;

  if (chosen) {
    const ItemKinds& kinds = *kinds_;
    auto item_of = [&](int32_t active) {
      return static_cast<std::size_t>(kinds.index[static_cast<std::size_t>(active_kind_[static_cast<std::size_t>(active)])]);
    };
    for (int32_t active = 0; active < active_count_; ++active)
      row[item_of(active)] = greedy_count_[static_cast<std::size_t>(active)];
    for (std::size_t i = 0; i < best_pieces; ++i) ++row[item_of(best_pieces_[i])];
  }
  return length - best_fill;
}

}  // namespace krelvo
