// The strong schedules optjaka and optvrlojaka: tune ngreedy and ntrial on the
// problem (three passes of 100-plan blocks over the fifteen settings), pick the
// setting with the least summed block best, then spend a fixed budget of plans
// on it. The two levels differ only in four constants.
#pragma once

#include <array>
#include <cstdint>

#include "search_run.hpp"

namespace krelvo {

struct StrongLevel {
  int32_t tuning_span;        // M: tuning reports 0..M
  int32_t final_budget;       // B: nfinal = B / ntrial
  int32_t final_checkpoints;  // D: nstep = nfinal / D
  int32_t final_offset;       // O: a final checkpoint reports k / nstep + O
};
inline constexpr StrongLevel kJaka{20, 200000, 80, 20};
inline constexpr StrongLevel kVrlojaka{10, 1000000, 90, 10};

// Rows 1..3 are ngreedy 0..2, columns 1..5 ntrial 20..100; row 0 and column 0 stay unused.
using TuneTable = std::array<std::array<double, 6>, 4>;

struct Setting {
  int32_t ngreedy = 0;
  int32_t ntrial = 0;
  friend bool operator==(const Setting&, const Setting&) = default;
};

void run_strong_level(SearchRun& run, const StrongLevel& level);
inline void optjaka(SearchRun& run) { run_strong_level(run, kJaka); }
inline void optvrlojaka(SearchRun& run) { run_strong_level(run, kVrlojaka); }

// The phases, for tests that drive them one by one.
// Adds each block's best waste to its cell; false when stopped on prekid.
bool run_tuning(SearchRun& run, const StrongLevel& level, TuneTable& table);
// The least sum wins; on equal sums lower ngreedy, then lower ntrial.
Setting select_setting(const TuneTable& table);
// nfinal plans with the state's current setting, a checkpoint every nstep.
void run_final_phase(SearchRun& run, const StrongLevel& level);

}  // namespace krelvo
