// What a run will hold in memory, checked before it starts: a plan keeps a
// count per item kind on every bar, and each job holds several copies of its
// plans at once (best, trial, the copy read out of the optimizer, ours).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "problem.hpp"

namespace krelvo::cli {

// Bytes the plans of `jobs` jobs on this input need at their peak, estimated
// from the fewest bars a plan can have.
double run_memory_bytes(const OptimizerInput& input, int jobs);

// The memory this process may use: physical memory, lowered by a cgroup
// memory limit and an address-space limit where one is set.
std::optional<double> memory_available_bytes();

// The sentence refusing a run that needs more than is available, or nothing.
std::optional<std::string> memory_refusal(double needed_bytes, std::optional<double> available_bytes, int jobs);

}  // namespace krelvo::cli
