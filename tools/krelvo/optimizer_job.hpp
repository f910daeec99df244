// The one place that talks to the optimizer library: one job is one
// clsOptimizacija object, set up, run and read.
#pragma once

#include <cstdint>

#include "problem.hpp"
#include "run.hpp"

namespace krelvo::cli {

struct JobSettings {
  int32_t level = 2;  // razine_opt
  bool clock_seed = false;
};

// Runs the optimizer on the input; every checkpoint reports to the context,
// and a stop request there sets prekid, so the run ends at that checkpoint.
// Errors of the run arrive as the library raised them.
OptimizerPlan run_optimizer(const OptimizerInput& input, const JobSettings& settings, JobContext& context);

}  // namespace krelvo::cli
