#include "arc_flow_solver.hpp"

#include <CoinPackedMatrix.hpp>
#include <OsiClpSolverInterface.hpp>
#include <algorithm>
#include <cmath>

namespace krelvo::cli::exact {
namespace {

OsiClpSolverInterface build_model(const CuttingInstance& instance, const ArcFlowGraph& graph, int64_t cutoff_bars) {
  const std::size_t nodes = graph.node_lengths.size();
  const std::size_t kinds = instance.sizes.size();
  // Rows: flow conservation at inner nodes 1..end-1, then one demand row per kind.
  const auto demand_row = [&](int32_t kind) { return static_cast<int>(nodes - 2 + static_cast<std::size_t>(kind)); };
  const int rows = static_cast<int>(nodes - 2 + kinds);

  CoinPackedMatrix matrix(true, 0, 0);
  matrix.setDimensions(rows, 0);
  std::vector<double> lower, upper, cost;
  for (const Arc& arc : graph.arcs) {
    std::vector<int> indices;
    std::vector<double> values;
    if (arc.tail != 0) {
      indices.push_back(arc.tail - 1);
      values.push_back(-1.0);
    }
    if (arc.head != graph.end_node()) {
      indices.push_back(arc.head - 1);
      values.push_back(1.0);
    }
    if (arc.kind >= 0) {
      indices.push_back(demand_row(arc.kind));
      values.push_back(1.0);
    }
    matrix.appendCol(static_cast<int>(indices.size()), indices.data(), values.data());
    lower.push_back(0.0);
    // A piece arc carries at most the kind's demand; every arc at most the bars.
    const double most = static_cast<double>(cutoff_bars);
    upper.push_back(arc.kind >= 0 ? std::min(most, static_cast<double>(instance.demands[static_cast<std::size_t>(
                                                       arc.kind)]))
                                  : most);
    cost.push_back(arc.tail == 0 ? 1.0 : 0.0);
  }
  std::vector<double> row_lower(static_cast<std::size_t>(rows), 0.0), row_upper(static_cast<std::size_t>(rows), 0.0);
  for (std::size_t kind = 0; kind < kinds; ++kind) {
    row_lower[nodes - 2 + kind] = static_cast<double>(instance.demands[kind]);
    row_upper[nodes - 2 + kind] = COIN_DBL_MAX;
  }
  OsiClpSolverInterface solver;
  solver.loadProblem(matrix, lower.data(), upper.data(), cost.data(), row_lower.data(), row_upper.data());
  for (int column = 0; column < solver.getNumCols(); ++column) solver.setInteger(column);
  solver.messageHandler()->setLogLevel(0);
  solver.getModelPtr()->setLogLevel(0);
  return solver;
}

}  // namespace

ArcFlowOutcome solve_arc_flow(const CuttingInstance& instance, const ArcFlowGraph& graph, int64_t cutoff_bars,
                              const SearchLimits& limits) {
  ArcFlowOutcome outcome;
  if (graph.node_lengths.size() < 2 || cutoff_bars <= 0) return outcome;
  const CbcOutcome search = search_below_cutoff(build_model(instance, graph, cutoff_bars), cutoff_bars, limits);
  if (search.solution) {
    std::vector<int64_t> flow(graph.arcs.size());
    for (std::size_t arc = 0; arc < flow.size(); ++arc) flow[arc] = std::llround((*search.solution)[arc]);
    outcome.patterns = decompose_flow(instance, graph, std::move(flow));
  }
  outcome.proven = search.finished;
  outcome.bound = search.bound;
  return outcome;
}

}  // namespace krelvo::cli::exact
