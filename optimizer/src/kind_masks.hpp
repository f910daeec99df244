// With fewer than 64 kinds, the kinds that may still take a piece in one fill
// trial, as bits of one word: a scan from j is the highest set bit at or below
// j, and a kind found full or too long is cleared for the rest of the trial
// (the fill only grows, so a kind that no longer fits never fits again).
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

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

}  // namespace krelvo
