#include "arc_flow_graph.hpp"

#include <algorithm>
#include <map>
#include <numeric>

#include "automation/error.hpp"

namespace krelvo::cli::exact {

std::optional<ArcFlowGraph> build_arc_flow_graph(const CuttingInstance& instance, std::size_t max_arcs) {
  const std::size_t kinds = instance.sizes.size();
  std::vector<std::size_t> longest_first(kinds);
  std::iota(longest_first.begin(), longest_first.end(), 0);
  std::stable_sort(longest_first.begin(), longest_first.end(),
                   [&](std::size_t a, std::size_t b) { return instance.sizes[a] > instance.sizes[b]; });

  // Lengths reached so far, each with its node index (assigned at the end).
  std::map<int64_t, int32_t> reached{{0, 0}};
  struct LengthArc {
    int64_t tail, head;
    int32_t kind;
  };
  std::vector<LengthArc> piece_arcs;
  std::vector<int64_t> starts;
  for (std::size_t kind : longest_first) {
    const int64_t size = instance.sizes[kind];
    starts.clear();
    for (const auto& [length, node] : reached) starts.push_back(length);
    for (int64_t start : starts) {
      // A chain of up to `demand` pieces of this kind from each reached length;
      // chains that meet share their arcs.
      for (int64_t count = 1, tail = start; count <= instance.demands[kind]; ++count, tail += size) {
        const int64_t head = tail + size;
        if (head > instance.capacity) break;
        piece_arcs.push_back({tail, head, static_cast<int32_t>(kind)});
        reached.emplace(head, 0);
      }
      if (piece_arcs.size() > max_arcs) return std::nullopt;
    }
  }
  std::sort(piece_arcs.begin(), piece_arcs.end(), [](const LengthArc& a, const LengthArc& b) {
    return std::tie(a.tail, a.head, a.kind) < std::tie(b.tail, b.head, b.kind);
  });
  piece_arcs.erase(std::unique(piece_arcs.begin(), piece_arcs.end(),
                               [](const LengthArc& a, const LengthArc& b) {
                                 return a.tail == b.tail && a.head == b.head && a.kind == b.kind;
                               }),
                   piece_arcs.end());

  ArcFlowGraph graph;
  reached.emplace(instance.capacity, 0);
  for (auto& [length, node] : reached) {
    node = static_cast<int32_t>(graph.node_lengths.size());
    graph.node_lengths.push_back(length);
  }
  const int32_t end = graph.end_node();
  graph.arcs.reserve(piece_arcs.size() + graph.node_lengths.size());
  for (const LengthArc& arc : piece_arcs) graph.arcs.push_back({reached[arc.tail], reached[arc.head], arc.kind});
  // Every inner node may end its bar there: the rest is loss.
  for (int32_t node = 1; node < end; ++node) graph.arcs.push_back({node, end, -1});
  if (graph.arcs.size() > max_arcs) return std::nullopt;
  return graph;
}

std::vector<Pattern> decompose_flow(const CuttingInstance& instance, const ArcFlowGraph& graph,
                                    std::vector<int64_t> flow) {
  const std::size_t kinds = instance.sizes.size();
  std::vector<std::vector<std::size_t>> leaving(graph.node_lengths.size());
  for (std::size_t arc = 0; arc < graph.arcs.size(); ++arc)
    leaving[static_cast<std::size_t>(graph.arcs[arc].tail)].push_back(arc);

  std::vector<Pattern> patterns;
  const auto next_arc = [&](int32_t node) -> std::optional<std::size_t> {
    for (std::size_t arc : leaving[static_cast<std::size_t>(node)])
      if (flow[arc] > 0) return arc;
    return std::nullopt;
  };
  while (const auto first = next_arc(0)) {
    Pattern pattern(kinds, 0);
    std::optional<std::size_t> arc = first;
    while (arc) {
      --flow[*arc];
      const Arc& step = graph.arcs[*arc];
      if (step.kind >= 0) ++pattern[static_cast<std::size_t>(step.kind)];
      if (step.head == graph.end_node()) break;
      arc = next_arc(step.head);
      // Flow is conserved at every inner node, so a path entering one can leave it.
      if (!arc) automation::raise_invalid_argument("the arc-flow solution does not conserve flow");
    }
    patterns.push_back(std::move(pattern));
  }
  drop_surplus(instance, patterns);
  return patterns;
}

}  // namespace krelvo::cli::exact
