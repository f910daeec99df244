// Everything an output shows about one run: the problem, its plan in the
// user's terms, the summary and how the run went.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
  std::string stock_order = "given";  // the --stock-order rule
  std::vector<std::size_t> stock_order_used;  // indices into Problem::stock, in the order cut
  bool stopped_by_time_limit = false;
};

struct Report {
  const Problem& problem;
  const TransformedProblem& transformed;
  const CuttingPlan& plan;
  const PlanSummary& summary;
  bool interrupted = false;
  RunDescription run;

  std::string length(double units) const { return transformed.scale.format(units); }
  const Kind& stock_of(const CutBar& bar) const { return problem.stock[bar.stock]; }
  bool from_offcut(const CutBar& bar) const { return bar.stock < problem.offcut_kinds; }
};

}  // namespace krelvo::cli
