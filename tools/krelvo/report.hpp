// Everything an output shows about one run: the problem, its plan in the
// user's terms, the summary and how the run went.
#pragma once

#include <string>

#include "plan_summary.hpp"
#include "problem.hpp"

namespace krelvo::cli {

struct RunDescription {
  std::string level;  // "standardna"
  std::string seed;   // "fixed" or "clock"
  int jobs = 1;
  bool exact = false;
};

struct Report {
  const Problem& problem;
  const TransformedProblem& transformed;
  const CuttingPlan& plan;
  const PlanSummary& summary;
  bool interrupted = false;
  RunDescription run;
  std::string stopped;  // why the run ended early: "time-limit", "interrupt", or empty

  std::string length(double units) const { return transformed.scale.format(units); }
  const Kind& stock_of(const CutBar& bar) const { return problem.stock[bar.stock]; }
};

}  // namespace krelvo::cli
