// What krelvo tells the user about a run, in terms of the job rather than of
// the optimizer's internals: why a run failed, and how long one may take.
#pragma once

#include <optional>
#include <string>

#include "automation/error.hpp"
#include "problem.hpp"

namespace krelvo::cli {

// A sentence about the user's job for a failed run; the library's own text
// is for --verbose.
std::string run_failure_text(const automation::AutomationError& error);

// The library's error as it raised it: "Subscript out of range: … (error 9 in Krelvo)".
std::string library_error_text(const automation::AutomationError& error);

// Seconds a run may take at `level` (1..4) with `runs` searches on `threads`
// threads, from the work per plan: item kinds times pieces.
double estimated_run_seconds(const OptimizerInput& input, int level, double runs, int threads);

// The notice before a run that will clearly take long, or nothing.
std::optional<std::string> long_run_notice(double estimated_seconds, std::optional<double> time_limit_seconds);

}  // namespace krelvo::cli
