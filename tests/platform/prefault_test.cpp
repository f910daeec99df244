#include "automation/prefault.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>
#include <vector>

namespace automation {
namespace {

// Prefaulting maps pages; it must never change what they hold, whether the
// buffer is large, unaligned or too small to bother with.
TEST(Prefault, LeavesEveryByteAsItWas) {
  for (const std::size_t bytes : {std::size_t{100}, std::size_t{1} << 20, (std::size_t{3} << 20) + 5}) {
    std::vector<unsigned char> written(bytes + 1);
    std::iota(written.begin(), written.end(), 7);
    const std::vector<unsigned char> before = written;
    prefault_for_writing(written.data() + 1, bytes);
    EXPECT_EQ(written, before) << bytes;
  }
}

}  // namespace
}  // namespace automation
