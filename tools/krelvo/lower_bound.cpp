#include "lower_bound.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace krelvo::cli {
namespace {

int64_t ceil_ratio(double numerator, double denominator, double tolerance) {
  if (numerator <= 0.0) return 0;
  return static_cast<int64_t>(std::ceil(numerator / denominator - tolerance));
}

// Pieces by ascending size, with running counts and lengths for range sums.
class SortedPieces {
 public:
  explicit SortedPieces(std::span<const SizeCount> pieces) : pieces_(pieces.begin(), pieces.end()) {
    std::erase_if(pieces_, [](const SizeCount& piece) { return piece.count <= 0; });
    std::sort(pieces_.begin(), pieces_.end(), [](const SizeCount& a, const SizeCount& b) { return a.size < b.size; });
    counts_.push_back(0);
    lengths_.push_back(0.0);
    for (const SizeCount& piece : pieces_) {
      counts_.push_back(counts_.back() + piece.count);
      lengths_.push_back(lengths_.back() + piece.size * static_cast<double>(piece.count));
    }
  }

  const std::vector<SizeCount>& pieces() const { return pieces_; }

  // Position of the first piece whose size is >= size (or > size when `strictly`).
  std::size_t position(double size, bool strictly) const {
    const auto below = [&](const SizeCount& piece, double value) {
      return strictly ? piece.size <= value : piece.size < value;
    };
    return static_cast<std::size_t>(std::lower_bound(pieces_.begin(), pieces_.end(), size, below) - pieces_.begin());
  }
  int64_t count(std::size_t from, std::size_t to) const { return counts_[to] - counts_[from]; }
  double length(std::size_t from, std::size_t to) const { return lengths_[to] - lengths_[from]; }

 private:
  std::vector<SizeCount> pieces_;
  std::vector<int64_t> counts_;
  std::vector<double> lengths_;
};

}  // namespace

int64_t material_bound(std::span<const SizeCount> pieces, double capacity, double tolerance) {
  double total = 0.0;
  for (const SizeCount& piece : pieces)
    if (piece.count > 0) total += piece.size * static_cast<double>(piece.count);
  return ceil_ratio(total, capacity, tolerance);
}

int64_t martello_toth_bound(std::span<const SizeCount> pieces, double capacity, double tolerance) {
  const SortedPieces sorted(pieces);
  const std::size_t end = sorted.pieces().size();
  const double half = capacity / 2.0;
  const std::size_t above_half = sorted.position(half, true);

  std::vector<double> thresholds{0.0};
  for (const SizeCount& piece : sorted.pieces())
    if (piece.size <= half) thresholds.push_back(piece.size);

  int64_t best = 0;
  for (double threshold : thresholds) {
    const std::size_t alone = sorted.position(capacity - threshold, true);  // no piece of J3 fits beside them
    const std::size_t small = sorted.position(threshold, false);
    const int64_t own_bars = sorted.count(above_half, end);
    const double room =
        static_cast<double>(sorted.count(above_half, alone)) * capacity - sorted.length(above_half, alone);
    const double overflow = sorted.length(small, above_half) - room;
    best = std::max(best, own_bars + ceil_ratio(overflow, capacity, tolerance));
  }
  return best;
}

int64_t bar_lower_bound(std::span<const SizeCount> pieces, double capacity, double tolerance) {
  return std::max(material_bound(pieces, capacity, tolerance), martello_toth_bound(pieces, capacity, tolerance));
}

}  // namespace krelvo::cli
