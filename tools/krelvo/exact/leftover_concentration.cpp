#include "leftover_concentration.hpp"

#include <algorithm>
#include <cstdint>

namespace krelvo::cli::exact {
namespace {

// The best single change that frees room in the last bar: a piece of kind
// `from` leaves it for bar `bar`, which gives back a piece of kind `to`
// (none when `to` < 0). `gain` is the room freed.
struct Exchange {
  int64_t gain = 0;
  std::size_t bar = 0;
  std::size_t from = 0;
  int32_t to = -1;
};

// Larger gains first; among equal ones the tightest fit, which keeps the
// other bars' room for later moves.
bool better(int64_t gain, int64_t room_after, const Exchange& best, int64_t best_room_after) {
  return gain > best.gain || (gain == best.gain && gain > 0 && room_after < best_room_after);
}

Exchange best_exchange(const CuttingInstance& instance, const std::vector<Pattern>& patterns,
                       const std::vector<int64_t>& leftovers) {
  const std::size_t last = patterns.size() - 1;
  const std::size_t kinds = instance.sizes.size();
  Exchange best;
  int64_t best_room_after = INT64_MAX;
  const auto consider = [&](int64_t gain, std::size_t bar, std::size_t from, int32_t to) {
    const int64_t room_after = leftovers[bar] - gain;
    if (room_after < 0 || !better(gain, room_after, best, best_room_after)) return;
    best = {gain, bar, from, to};
    best_room_after = room_after;
  };
  for (std::size_t from = 0; from < kinds; ++from) {
    if (patterns[last][from] == 0) continue;
    const int64_t size = instance.sizes[from];
    for (std::size_t bar = 0; bar < last; ++bar) {
      consider(size, bar, from, -1);  // a plain move frees the whole piece
      for (std::size_t to = 0; to < kinds; ++to)
        if (patterns[bar][to] > 0 && instance.sizes[to] < size)
          consider(size - instance.sizes[to], bar, from, static_cast<int32_t>(to));
    }
  }
  return best;
}

}  // namespace

void concentrate_leftovers(const CuttingInstance& instance, std::vector<Pattern>& patterns) {
  if (patterns.empty()) return;
  std::vector<int64_t> leftovers;
  for (const Pattern& pattern : patterns) leftovers.push_back(pattern_leftover(instance, pattern));
  const auto most = static_cast<std::size_t>(std::max_element(leftovers.begin(), leftovers.end()) - leftovers.begin());
  std::swap(patterns[most], patterns.back());
  std::swap(leftovers[most], leftovers.back());

  // Each exchange grows the last bar's rest, so this ends.
  while (patterns.size() > 1) {
    const Exchange exchange = best_exchange(instance, patterns, leftovers);
    if (exchange.gain == 0) break;
    Pattern& last = patterns.back();
    Pattern& other = patterns[exchange.bar];
    --last[exchange.from];
    ++other[exchange.from];
    if (exchange.to >= 0) {
      --other[static_cast<std::size_t>(exchange.to)];
      ++last[static_cast<std::size_t>(exchange.to)];
    }
    leftovers[exchange.bar] -= exchange.gain;
    leftovers.back() += exchange.gain;
    if (leftovers.back() == instance.capacity) {
      patterns.pop_back();
      leftovers.pop_back();
      const auto next = static_cast<std::size_t>(std::max_element(leftovers.begin(), leftovers.end()) -
                                                 leftovers.begin());
      std::swap(patterns[next], patterns.back());
      std::swap(leftovers[next], leftovers.back());
    }
  }
}

}  // namespace krelvo::cli::exact
