#include "exact_job.hpp"

#include <algorithm>

#include "exact_search.hpp"
#include "plan_summary.hpp"

namespace krelvo::cli::exact {
namespace {

std::optional<CuttingInstance> instance_of(const Problem& problem, const TransformedProblem& transformed) {
  const auto capacity = capacity_in_reach(problem, transformed);
  if (!capacity) return std::nullopt;
  return integral_instance(transformed.input, *capacity);
}

double otpad_of(const CuttingInstance& instance, const std::vector<Pattern>& patterns) {
  double otpad = 0.0;
  for (std::size_t bar = 0; bar + 1 < patterns.size(); ++bar)
    otpad += static_cast<double>(pattern_leftover(instance, patterns[bar]));
  return otpad;
}

int16_t share_of_time(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point deadline) {
  const double total = std::chrono::duration<double>(deadline - start).count();
  const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return static_cast<int16_t>(total > 0.0 ? std::clamp(100.0 * spent / total, 0.0, 100.0) : 100.0);
}

}  // namespace

std::optional<std::string> exact_refusal(const Problem& problem, const TransformedProblem& transformed) {
  if (!capacity_in_reach(problem, transformed))
    return "--exact needs stock of one length: the stock kinds in reach have different lengths (give only one, or "
           "make the first kind unlimited)";
  if (!instance_of(problem, transformed)) return "--exact cannot represent these lengths as whole units";
  return std::nullopt;
}

OptimizerPlan run_exact_job(const Problem& problem, const TransformedProblem& transformed,
                            const OptimizerPlan& incumbent, int64_t known_bound,
                            std::chrono::steady_clock::time_point deadline, JobContext& context,
                            ExactJobResult& result) {
  const std::optional<CuttingInstance> instance = instance_of(problem, transformed);
  if (!instance) automation::raise_invalid_argument(exact_refusal(problem, transformed).value_or("--exact refused"));
  const auto start = std::chrono::steady_clock::now();
  const double incumbent_otpad = incumbent.otpad;
  ExactSettings settings;
  settings.deadline = deadline;
  settings.known_bound = known_bound;
  settings.should_stop = [&context] { return context.stop_requested(); };
  settings.on_progress = [&](const ExactProgress& progress) {
    context.report({share_of_time(start, deadline), true, incumbent_otpad, static_cast<int32_t>(progress.bars),
                    progress.bound});
  };
  const ExactResult exact = solve_exact(*instance, incumbent.patterns, settings);
  result = {exact.bound, exact.proven, exact.note};
  return {otpad_of(*instance, exact.patterns), exact.patterns};
}

std::optional<LpBound> problem_lp_bound(const Problem& problem, const TransformedProblem& transformed,
                                        const LpBoundLimits& limits) {
  const std::optional<CuttingInstance> instance = instance_of(problem, transformed);
  if (!instance) return std::nullopt;
  return gilmore_gomory_bound(*instance, limits);
}

}  // namespace krelvo::cli::exact
