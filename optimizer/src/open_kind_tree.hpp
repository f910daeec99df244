// The open kinds of a bar as a tree of their shortest lengths, for problems
// with many kinds: the highest kind at or below j whose piece still fits is
// found in O(log n), where a scan would clear the too long kinds one by one,
// a cost that grows with the number of kinds in every trial. Kinds that run
// out in a trial leave the tree and are put back when the trial ends, so a
// trial costs nothing per kind that it does not touch.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace krelvo {

class OpenKindTree {
 public:
  // Sizes the tree for `kinds` kinds, once per problem.
  void resize(std::size_t kinds) {
    leaves_ = std::bit_ceil(std::max(kinds, std::size_t{1}));
    shortest_.assign(2 * leaves_, kNone);
  }

  // Kind i holds length[i] when open[i] > 0.
  void build(std::span<const double> length, std::span<const int32_t> open) noexcept {
    std::fill(shortest_.begin() + static_cast<std::ptrdiff_t>(leaves_), shortest_.end(), kNone);
    for (std::size_t kind = 0; kind < length.size(); ++kind)
      if (open[kind] > 0) shortest_[leaves_ + kind] = length[kind];
    for (std::size_t node = leaves_ - 1; node >= 1; --node)
      shortest_[node] = std::min(shortest_[2 * node], shortest_[2 * node + 1]);
  }

  // The highest kind at or below `j` in the tree with fill + length <= bar,
  // or -1. The sum grows with the length, so a subtree whose shortest length
  // does not fit holds no kind that does: the test on the minimum is exact.
  int32_t highest_fitting(int32_t j, double fill, double bar) const noexcept {
    const auto fits = [&](std::size_t node) { return fill + shortest_[node] <= bar; };
    std::size_t node = leaves_ + static_cast<std::size_t>(j);
    if (fits(node)) return j;
    for (; node > 1; node >>= 1) {
      if ((node & 1) == 0 || !fits(node - 1)) continue;
      node -= 1;  // the left sibling's subtree holds one: the rightmost that fits
      while (node < leaves_) node = fits(2 * node + 1) ? 2 * node + 1 : 2 * node;
      return static_cast<int32_t>(node - leaves_);
    }
    return -1;
  }

  void remove(int32_t kind) noexcept { set(kind, kNone); }
  void put_back(int32_t kind, double length) noexcept { set(kind, length); }

 private:
  static constexpr double kNone = std::numeric_limits<double>::infinity();  // fits at no fill

  void set(int32_t kind, double length) noexcept {
    std::size_t node = leaves_ + static_cast<std::size_t>(kind);
    shortest_[node] = length;
    for (node >>= 1; node >= 1; node >>= 1) shortest_[node] = std::min(shortest_[2 * node], shortest_[2 * node + 1]);
  }

  std::size_t leaves_ = 1;
  // Node 1 the root, node n's children 2n and 2n + 1, kind i at leaves_ + i.
  std::vector<double> shortest_;
};

}  // namespace krelvo
