#include "exact_search.hpp"

#include <algorithm>

#include "arc_flow_graph.hpp"
#include "arc_flow_solver.hpp"
#include "leftover_concentration.hpp"
#include "lp_bound.hpp"
#include "pattern_program.hpp"

namespace krelvo::cli::exact {
namespace {

bool out_of_time(const ExactSettings& settings) {
  return std::chrono::steady_clock::now() >= settings.deadline || (settings.should_stop && settings.should_stop());
}

ExactResult finish(const CuttingInstance& instance, ExactResult result) {
  concentrate_leftovers(instance, result.patterns);
  result.bound = std::min<int64_t>(result.bound, static_cast<int64_t>(result.patterns.size()));
  result.proven = static_cast<int64_t>(result.patterns.size()) == result.bound;
  if (result.proven) result.note.clear();
  return result;
}

}  // namespace

ExactResult solve_exact(const CuttingInstance& instance, std::vector<Pattern> incumbent,
                        const ExactSettings& settings) {
  ExactResult result;
  result.patterns = std::move(incumbent);
  result.bound = settings.known_bound;
  const auto bars = [&] { return static_cast<int64_t>(result.patterns.size()); };
  const auto report = [&] {
    if (settings.on_progress) settings.on_progress({bars(), result.bound});
  };
  report();
  if (result.bound >= bars()) return finish(instance, std::move(result));

  const LpBoundLimits lp_limits{settings.deadline, settings.should_stop, bars()};
  const std::optional<LpBound> lp = gilmore_gomory_bound(instance, lp_limits);
  if (lp) result.bound = std::max(result.bound, lp->bars);
  report();
  if (result.bound >= bars()) return finish(instance, std::move(result));
  if (out_of_time(settings)) {
    result.note = "stopped before the exact search";
    return finish(instance, std::move(result));
  }

  SearchLimits limits;
  limits.seconds = std::chrono::duration<double>(settings.deadline - std::chrono::steady_clock::now()).count();
  limits.should_stop = settings.should_stop;
  limits.on_progress = [&](int64_t found, int64_t bound) {
    if (settings.on_progress)
      settings.on_progress({found > 0 ? std::min(found, bars()) : bars(), std::max(result.bound, bound)});
  };
  const auto graph = build_arc_flow_graph(instance, settings.max_arcs);
  if (!graph) {
    result.note = "the arc-flow model has more than " + std::to_string(settings.max_arcs) +
                  " arcs; only the LP's patterns were searched";
    // This search's own bound covers only the LP's patterns, so it is not shown.
    SearchLimits pattern_limits = limits;
    pattern_limits.on_progress = [&](int64_t found, int64_t) { limits.on_progress(found, result.bound); };
    std::optional<std::vector<Pattern>> plan;
    if (lp) plan = solve_pattern_program(instance, lp->patterns, bars(), pattern_limits);
    if (plan && plan->size() < result.patterns.size()) result.patterns = std::move(*plan);
    return finish(instance, std::move(result));
  }
  const ArcFlowOutcome outcome = solve_arc_flow(instance, *graph, bars(), limits);
  if (outcome.patterns && outcome.patterns->size() < result.patterns.size()) result.patterns = *outcome.patterns;
  result.bound = std::max(result.bound, outcome.bound);
  if (!outcome.proven) result.note = "the exact search stopped before it could prove the plan optimal";
  return finish(instance, std::move(result));
}

}  // namespace krelvo::cli::exact
