// The arc-flow model solved as an integer program by CBC: fewest bars, with
// the plan in hand as a cutoff so the search only looks for better ones.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "arc_flow_graph.hpp"
#include "cbc_search.hpp"

namespace krelvo::cli::exact {

struct ArcFlowOutcome {
  std::optional<std::vector<Pattern>> patterns;  // a plan with fewer bars than the cutoff
  // The best plan, this one or the one behind the cutoff, is proven optimal.
  bool proven = false;
  int64_t bound = 0;  // bars every plan needs, as far as the search got
};

// Searches for a plan with fewer than `cutoff_bars` bars.
ArcFlowOutcome solve_arc_flow(const CuttingInstance& instance, const ArcFlowGraph& graph, int64_t cutoff_bars,
                              const SearchLimits& limits);

}  // namespace krelvo::cli::exact
