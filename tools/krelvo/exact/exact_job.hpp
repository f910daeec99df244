// The exact search as a krelvo job: the problem and plan in the optimizer's
// terms in, the same out, with progress and stop requests through the job
// context like the heuristic levels.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "lp_bound.hpp"
#include "problem.hpp"
#include "run.hpp"

namespace krelvo::cli::exact {

// Why the exact search cannot take this problem, or empty when it can.
std::optional<std::string> exact_refusal(const Problem& problem, const TransformedProblem& transformed);

struct ExactJobResult {
  int64_t bound = 0;
  bool proven = false;
  std::string note;  // why the proof is missing
};

// Improves `incumbent` (a plan of the heuristic) until proven optimal, the
// deadline or a stop request; never returns a plan with more bars.
OptimizerPlan run_exact_job(const Problem& problem, const TransformedProblem& transformed,
                            const OptimizerPlan& incumbent, int64_t known_bound,
                            std::chrono::steady_clock::time_point deadline, JobContext& context,
                            ExactJobResult& result);

// The LP bound of a problem whose stock in reach has one length and whose
// lengths are whole units; empty otherwise.
std::optional<LpBound> problem_lp_bound(const Problem& problem, const TransformedProblem& transformed,
                                        const LpBoundLimits& limits);

}  // namespace krelvo::cli::exact
