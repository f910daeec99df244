// A plan with the fewest bars of one length, with the proof: the LP bound
// first (it often meets the incumbent at once), then the arc-flow integer
// program for a better plan or the proof that none exists.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cutting_instance.hpp"

namespace krelvo::cli::exact {

struct ExactProgress {
  int64_t bars = 0;   // the best plan so far
  int64_t bound = 0;  // bars every plan needs, as proven so far
};

struct ExactSettings {
  std::chrono::steady_clock::time_point deadline;
  std::function<bool()> should_stop;  // a stop request, besides the deadline
  std::function<void(const ExactProgress&)> on_progress;
  int64_t known_bound = 0;  // a bound from elsewhere (the combinatorial ones)
  // Arc-flow models larger than this are not attempted: the solver would not
  // get through them in any useful time.
  std::size_t max_arcs = 400'000;
};

struct ExactResult {
  std::vector<Pattern> patterns;  // the best plan, leftovers concentrated in its last bar
  int64_t bound = 0;
  bool proven = false;  // patterns.size() == bound
  std::string note;     // why the proof is missing, when it is
};

// `incumbent` is a feasible plan; the result never has more bars.
ExactResult solve_exact(const CuttingInstance& instance, std::vector<Pattern> incumbent,
                        const ExactSettings& settings);

}  // namespace krelvo::cli::exact
