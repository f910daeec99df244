// The tree of open kinds against a plain scan: the highest kind at or below j
// that is in the tree and fits, for random lengths, fills and removals.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "open_kind_tree.hpp"

namespace krelvo::testing {
namespace {

int32_t plain_scan(const std::vector<double>& length, const std::vector<int32_t>& open, int32_t j, double fill,
                   double bar) {
  for (int32_t kind = j; kind >= 0; --kind)
    if (open[static_cast<std::size_t>(kind)] > 0 && fill + length[static_cast<std::size_t>(kind)] <= bar) return kind;
  return -1;
}

TEST(OpenKindTree, FindsWhatAPlainScanFinds) {
  std::mt19937 random(99);
  auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  OpenKindTree tree;
  // Sizes around powers of two, where the leaves end or pad.
  for (const int32_t kinds : {1, 2, 3, 63, 64, 65, 100, 128, 129, 1000}) {
    SCOPED_TRACE(kinds);
    std::vector<double> length;
    std::vector<int32_t> open;
    for (int32_t i = 0; i < kinds; ++i) {
      length.push_back(uniform(1, 400) / 4.0);
      open.push_back(uniform(0, 3) == 0 ? 0 : 1);
    }
    tree.resize(static_cast<std::size_t>(kinds));
    tree.build(length, open);
    for (int step = 0; step < 3000; ++step) {
      const int32_t j = uniform(0, kinds - 1);
      const double fill = uniform(0, 400) / 4.0;
      const double bar = 100.0;  // room from 0 to 100: none, some and every kind fit
      ASSERT_EQ(tree.highest_fitting(j, fill, bar), plain_scan(length, open, j, fill, bar))
          << "j " << j << ", fill " << fill;
      const int32_t kind = uniform(0, kinds - 1);
      auto& in_tree = open[static_cast<std::size_t>(kind)];
      if (in_tree > 0)
        tree.remove(kind);
      else
        tree.put_back(kind, length[static_cast<std::size_t>(kind)]);
      in_tree = in_tree > 0 ? 0 : 1;
    }
  }
}

}  // namespace
}  // namespace krelvo::testing
