// The item kinds a plan has to place, read once from the host's arrays each
// time they change: only kinds with demand, in ascending index order.
#pragma once

#include <cstdint>
#include <vector>

#include "plan.hpp"

namespace krelvo {

struct ItemKinds {
  int32_t nitem = 0;
  std::vector<int32_t> index;  // item index of each kind with demand
  std::vector<double> length;
  std::vector<int32_t> quantity;
  std::vector<int32_t> by_length;  // positions in ascending length
  int32_t total_demand = 0;
  double shortest_length = 0.0;
  double longest_length = 0.0;
  // A fill trial ends with a scan that reads element 0 of both arrays, and the
  // scans read every element up to nitem: a trial needs them all.
  bool arrays_hold_zero_to_nitem = false;

  std::size_t size() const noexcept { return index.size(); }

  // Refuses bad item data: a missing element 1..nitem of `mitem` (subscript
  // out of range), a negative quantity, or a quantity above 0 whose length is
  // not a finite number above 0 (invalid argument); a total demand beyond 32
  // bits is the overflow error.
  void read(const ProblemInputs& inputs);
};

}  // namespace krelvo
