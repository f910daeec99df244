#include "strong_levels.hpp"

#include "automation/checked_math.hpp"
#include "light_levels.hpp"

namespace krelvo {
namespace {

constexpr int32_t kPasses = 3;
constexpr int32_t kBlockPlans = 100;
constexpr int32_t kTuningBlocks = 45;

}  // namespace

void run_strong_level(SearchRun& run, const StrongLevel& level) {
  OptimizerState& state = run.state();
  TuneTable table{};
  run.begin_level();
  if (!run_tuning(run, level, table)) return;
  const Setting chosen = select_setting(table);
  state.ngreedy = chosen.ngreedy;
  state.ntrial = chosen.ntrial;
  run_final_phase(run, level);
}

bool run_tuning(SearchRun& run, const StrongLevel& level, TuneTable& table) {
  OptimizerState& state = run.state();
  int32_t c = 0;
  for (int32_t pass = 0; pass < kPasses; ++pass) {
    for (state.ngreedy = 0; state.ngreedy <= 2; ++state.ngreedy) {
      for (state.ntrial = 100; state.ntrial >= 20; state.ntrial -= 20) {
        double block_best = run.build_and_offer();
        for (int32_t i = 1; i < kBlockPlans; ++i) {
          const double waste = run.build_and_offer();
          if (waste < block_best) block_best = waste;
        }
        const auto row = static_cast<std::size_t>(state.ngreedy + 1);
        const auto column = static_cast<std::size_t>(automation::round_half_even<int32_t>(state.ntrial / 20.0));
        table[row][column] = automation::check_finite(table[row][column] + block_best);
        ++c;
        if (run.checkpoint(scaled_progress(c, level.tuning_span, kTuningBlocks))) return false;
      }
    }
  }
  return true;
}

Setting select_setting(const TuneTable& table) {
  // Scanned from the lowest setting up with a strict comparison, so the first
  // of equal sums (lower ngreedy, then lower ntrial) stays.
  Setting chosen{0, 20};
  double least = table[1][1];
  for (int32_t row = 1; row <= 3; ++row) {
    for (int32_t column = 1; column <= 5; ++column) {
      const double sum = table[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
      if (sum < least) {
        least = sum;
        chosen = {row - 1, column * 20};
      }
    }
  }
  return chosen;
}

void run_final_phase(SearchRun& run, const StrongLevel& level) {
  OptimizerState& state = run.state();
  const auto nfinal = automation::round_half_even<int32_t>(static_cast<double>(level.final_budget) / state.ntrial);
  // 5000 / 80 = 62.5 gives 62: halves go to even.
  const auto nstep = automation::round_half_even<int32_t>(static_cast<double>(nfinal) / level.final_checkpoints);
  if (nstep == 0) automation::raise_division_by_zero();
  for (int32_t k = 1; k <= nfinal; ++k) {
    run.build_and_offer();
    if (k % nstep == 0) {
      const int32_t value = automation::checked_add(
          automation::round_half_even<int32_t>(static_cast<double>(k) / nstep), level.final_offset);
      if (run.checkpoint(automation::checked_narrow<int16_t>(value))) return;
    }
  }
}

}  // namespace krelvo
