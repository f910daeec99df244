// Internal plan and problem representation: flat count arrays, turned into
// the host's array-of-variants layout only when `rezanje` is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "automation/safe_array.hpp"

namespace krelvo {

using automation::SafeArray;

// A stamp no other problem state in the process carries.
uint64_t next_input_version() noexcept;

// The problem as the host last set it; `version` changes with every put of
// `nitem` or an input array, so prepared item data is rebuilt only then.
struct ProblemInputs {
  int32_t nitem = 0;
  SafeArray<double> litem;
  SafeArray<int32_t> mitem;
  SafeArray<double> lsource;
  SafeArray<int32_t> msource;
  uint64_t version = next_input_version();

  void changed() noexcept { version = next_input_version(); }
};

// A cutting plan: `bars` rows of counts, row b - 1 for bar b. A row spans
// only the item kinds with demand (`item_of_column` gives each column's item
// index): the others never receive a piece, and a problem may list many of
// them. The host's rows of `nitem + 1` counts are made only when `rezanje` is
// read. The storage keeps its capacity between plans.
struct Plan {
  int32_t nitem = 0;
  std::vector<int32_t> item_of_column;
  int32_t bars = 0;
  std::vector<int32_t> counts;

  std::size_t stride() const noexcept { return item_of_column.size(); }
  std::span<const int32_t> bar(int32_t b) const noexcept {
    return std::span<const int32_t>(counts).subspan(static_cast<std::size_t>(b - 1) * stride(), stride());
  }
  // Starts an empty plan for `item_kinds` kinds of which `columns` have demand, keeping the storage.
  void clear(int32_t item_kinds, std::span<const int32_t> columns) {
    nitem = item_kinds;
    item_of_column.assign(columns.begin(), columns.end());
    bars = 0;
  }
  // Appends a zeroed row and returns it; grows the storage only past its capacity.
  std::span<int32_t> append_bar();
};

}  // namespace krelvo
