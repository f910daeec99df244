// The arc-flow model of a one-length cutting problem: a path from the bar's
// start to its end is a pattern, an arc (u, u + size) cuts one piece.
// Only arcs that place pieces longest first are built, so each pattern is
// exactly one path, and only the lengths such paths reach become nodes; that
// keeps the graph to a fraction of the capacity times the item kinds.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "cutting_instance.hpp"

namespace krelvo::cli::exact {

struct Arc {
  int32_t tail = 0;  // node index
  int32_t head = 0;
  int32_t kind = -1;  // item kind cut, -1 for a loss arc (the rest of the bar)
};

struct ArcFlowGraph {
  std::vector<int64_t> node_lengths;  // node 0 is the bar's start; the last node is its end
  std::vector<Arc> arcs;

  int32_t end_node() const { return static_cast<int32_t>(node_lengths.size()) - 1; }
};

// Empty when the graph would need more than `max_arcs` arcs.
std::optional<ArcFlowGraph> build_arc_flow_graph(const CuttingInstance& instance, std::size_t max_arcs);

// Splits an integral flow (one value per arc) into the patterns of its paths.
// Pieces beyond the demand (the model asks for at least the demand) are dropped.
std::vector<Pattern> decompose_flow(const CuttingInstance& instance, const ArcFlowGraph& graph,
                                    std::vector<int64_t> flow);

}  // namespace krelvo::cli::exact
