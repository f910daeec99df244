// One run of CBC on an integer program whose objective counts bars, with the
// plan in hand as a cutoff, a time limit, progress and stop requests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class OsiClpSolverInterface;

namespace krelvo::cli::exact {

struct SearchLimits {
  double seconds = 60.0;
  std::function<bool()> should_stop;  // polled during the search; true ends it
  // The best bar count found so far (0: none better than the cutoff) and the
  // search's bound, from the solver's progress events.
  std::function<void(int64_t bars, int64_t bound)> on_progress;
};

struct CbcOutcome {
  std::optional<std::vector<double>> solution;  // column values of a solution below the cutoff
  bool finished = false;  // the search ran to its end: the solution, or the cutoff plan, is optimal
  int64_t bound = 0;      // bars every solution needs, as far as the search got (at most the cutoff)
};

// Looks for a solution with fewer than `cutoff_bars` bars.
CbcOutcome search_below_cutoff(const OsiClpSolverInterface& model, int64_t cutoff_bars, const SearchLimits& limits);

}  // namespace krelvo::cli::exact
