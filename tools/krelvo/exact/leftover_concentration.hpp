// Among plans with the same bars, the optimizer prefers the one whose rest is
// in the last bar: that rest goes back to the rack, the rest of any other bar
// is waste. This moves and swaps pieces between bars to grow the last bar's
// rest, and drops the last bar if it empties.
#pragma once

#include <vector>

#include "cutting_instance.hpp"

namespace krelvo::cli::exact {

// Rearranges a feasible plan; every piece stays cut exactly once and no bar
// overfills. Afterwards the last bar has the largest rest of all.
void concentrate_leftovers(const CuttingInstance& instance, std::vector<Pattern>& patterns);

}  // namespace krelvo::cli::exact
