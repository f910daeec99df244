// Exhaustive references for the exact tools' tests: small enough to trust by
// reading, slow enough to keep the problems tiny.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "cutting_instance.hpp"

namespace krelvo::cli::exact::testing {

// The fewest bars for the pieces, by trying every piece in every open bar.
inline int64_t fewest_bars(const CuttingInstance& instance) {
  std::vector<int64_t> pieces;
  for (std::size_t kind = 0; kind < instance.sizes.size(); ++kind)
    pieces.insert(pieces.end(), static_cast<std::size_t>(instance.demands[kind]), instance.sizes[kind]);
  std::sort(pieces.rbegin(), pieces.rend());
  auto best = static_cast<int64_t>(pieces.size());
  std::vector<int64_t> room;
  std::function<void(std::size_t)> place = [&](std::size_t next) {
    if (static_cast<int64_t>(room.size()) >= best) return;
    if (next == pieces.size()) {
      best = static_cast<int64_t>(room.size());
      return;
    }
    for (std::size_t bar = 0; bar < room.size(); ++bar) {
      if (room[bar] < pieces[next]) continue;
      room[bar] -= pieces[next];
      place(next + 1);
      room[bar] += pieces[next];
    }
    room.push_back(instance.capacity - pieces[next]);
    place(next + 1);
    room.pop_back();
  };
  place(0);
  return best;
}

// Every pattern of the instance (each kind at most its demand), by enumeration.
inline std::vector<Pattern> all_patterns(const CuttingInstance& instance) {
  std::vector<Pattern> patterns;
  Pattern pattern(instance.sizes.size(), 0);
  std::function<void(std::size_t, int64_t)> extend = [&](std::size_t kind, int64_t room) {
    if (kind == instance.sizes.size()) {
      patterns.push_back(pattern);
      return;
    }
    for (int32_t count = 0; count <= instance.demands[kind] && count * instance.sizes[kind] <= room; ++count) {
      pattern[kind] = count;
      extend(kind + 1, room - count * instance.sizes[kind]);
    }
    pattern[kind] = 0;
  };
  extend(0, instance.capacity);
  return patterns;
}

inline CuttingInstance random_instance(std::mt19937& generator, int kinds, int64_t capacity, int64_t most_pieces) {
  CuttingInstance instance;
  instance.capacity = capacity;
  std::uniform_int_distribution<int64_t> size(1, capacity);
  std::uniform_int_distribution<int64_t> demand(1, most_pieces);
  for (int kind = 0; kind < kinds; ++kind) {
    instance.sizes.push_back(size(generator));
    instance.demands.push_back(demand(generator));
  }
  std::sort(instance.sizes.begin(), instance.sizes.end());
  return instance;
}

// One bar per piece: the worst plan, a fair incumbent to start from.
inline std::vector<Pattern> one_piece_per_bar(const CuttingInstance& instance) {
  std::vector<Pattern> plan;
  for (std::size_t kind = 0; kind < instance.sizes.size(); ++kind)
    for (int64_t piece = 0; piece < instance.demands[kind]; ++piece) {
      Pattern& bar = plan.emplace_back(instance.sizes.size(), 0);
      bar[kind] = 1;
    }
  return plan;
}

}  // namespace krelvo::cli::exact::testing
