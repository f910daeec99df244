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
  double keep_offcuts = 0.0;  // units: leftovers at least this long are kept; 0 keeps none
  std::string offcuts_file;   // the rack, when one was given
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
  bool from_offcut(const CutBar& bar) const { return bar.stock < problem.offcut_kinds; }
};

}  // namespace krelvo::cli
