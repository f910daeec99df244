// Price and branch: the integer program over the patterns that column
// generation produced. It proves nothing on its own (patterns it never saw
// might do better), but it often finds a plan that meets the LP bound, which
// then proves itself; it is the way on when the arc-flow graph is too large.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "cbc_search.hpp"
#include "cutting_instance.hpp"

namespace krelvo::cli::exact {

// A plan with fewer than `cutoff_bars` bars made of `patterns`, if CBC finds one.
std::optional<std::vector<Pattern>> solve_pattern_program(const CuttingInstance& instance,
                                                          const std::vector<Pattern>& patterns, int64_t cutoff_bars,
                                                          const SearchLimits& limits);

}  // namespace krelvo::cli::exact
