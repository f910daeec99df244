#include "arc_flow_solver.hpp"

#include <CbcEventHandler.hpp>
#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <CoinPackedMatrix.hpp>
#include <OsiClpSolverInterface.hpp>
#include <algorithm>
#include <cmath>
#include <string>

namespace krelvo::cli::exact {
namespace {

// Objective values are whole bar counts; this absorbs the solver's tolerance.
constexpr double kIntegerSlack = 1e-6;

int64_t round_up(double value) { return static_cast<int64_t>(std::ceil(value - kIntegerSlack)); }

// Passes the solver's progress on and stops it on request. CBC copies the
// handler into the model it really solves (after preprocessing), so it keeps
// only references to the caller's limits.
class SearchEvents final : public CbcEventHandler {
 public:
  explicit SearchEvents(const ArcFlowLimits& limits) : limits_(limits) {}
  CbcEventHandler* clone() const override { return new SearchEvents(*this); }

  CbcAction event(CbcEvent which) override {
    if (which == node || which == solution || which == heuristicSolution || which == treeStatus) report();
    return limits_.should_stop && limits_.should_stop() ? stop : noAction;
  }

 private:
  void report() const {
    if (!limits_.on_progress || model_ == nullptr) return;
    const double best = model_->getObjValue();
    const int64_t bars = model_->bestSolution() != nullptr ? std::llround(best) : 0;
    limits_.on_progress(bars, round_up(model_->getBestPossibleObjValue()));
  }

  const ArcFlowLimits& limits_;
};

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
                              const ArcFlowLimits& limits) {
  ArcFlowOutcome outcome;
  if (graph.node_lengths.size() < 2 || cutoff_bars <= 0) return outcome;
  OsiClpSolverInterface solver = build_model(instance, graph, cutoff_bars);
  CbcModel model(solver);
  CbcSolverUsefulData data;
  CbcMain0(model, data);
  model.setLogLevel(0);
  model.messageHandler()->setLogLevel(0);
  model.setCutoff(static_cast<double>(cutoff_bars) - 1.0 + 0.5);
  const SearchEvents events(limits);
  model.passInEventHandler(&events);

  const std::string seconds = std::to_string(std::max(0.0, limits.seconds));
  const std::string cutoff = std::to_string(static_cast<double>(cutoff_bars) - 0.5);
  const char* arguments[] = {"krelvo", "-log", "0", "-sec", seconds.c_str(), "-cutoff", cutoff.c_str(),
                             "-solve", "-quit"};
  CbcMain1(static_cast<int>(std::size(arguments)), arguments, model, [](CbcModel*, int) { return 0; }, data);

  // With nothing left below the cutoff the solver's bound may be infinite.
  const double best_possible = model.getBestPossibleObjValue();
  outcome.bound = best_possible >= static_cast<double>(cutoff_bars) ? cutoff_bars
                                                                    : round_up(std::max(0.0, best_possible));
  if (const double* values = model.bestSolution(); values != nullptr && model.getObjValue() < static_cast<double>(cutoff_bars) - 0.5) {
    std::vector<int64_t> flow(graph.arcs.size());
    for (std::size_t arc = 0; arc < flow.size(); ++arc) flow[arc] = std::llround(values[arc]);
    outcome.patterns = decompose_flow(instance, graph, std::move(flow));
  }
  // Finished without being stopped: either the plan found is optimal or none
  // beats the cutoff, which makes the incumbent optimal.
  outcome.proven = model.status() == 0 && (model.isProvenOptimal() || model.isProvenInfeasible());
  if (outcome.proven) {
    const auto best = outcome.patterns ? static_cast<int64_t>(outcome.patterns->size()) : cutoff_bars;
    outcome.bound = std::max(outcome.bound, best);
  }
  return outcome;
}

}  // namespace krelvo::cli::exact
