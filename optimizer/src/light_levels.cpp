#include "light_levels.hpp"

#include "automation/checked_math.hpp"

namespace krelvo {

int16_t scaled_progress(int32_t c, int32_t span, int32_t count) {
  return automation::round_half_even<int16_t>(static_cast<double>(automation::checked_mul(c, span)) /
                                              static_cast<double>(count));
}

void optbrza(SearchRun& run) {
  run.begin_level();
  for (int32_t i = 1; i <= 100; ++i) {
    run.build_and_offer();
    if (i % 10 == 0 && run.checkpoint(static_cast<int16_t>(i))) return;
  }
}

void optstandardna(SearchRun& run) {
  OptimizerState& state = run.state();
  run.begin_level();
  int32_t c = 0;
  // The fields are the loop variables: a stop leaves the running block's
  // setting in them, a complete run their exit values 3 and 0.
  for (state.ngreedy = 0; state.ngreedy <= 2; ++state.ngreedy) {
    for (state.ntrial = 100; state.ntrial >= 20; state.ntrial -= 20) {
      for (int32_t i = 1; i <= 100; ++i) {
        run.build_and_offer();
        if (i % 20 == 0) {
          ++c;
          if (run.checkpoint(scaled_progress(c, 100, 75))) return;
        }
      }
    }
  }
}

void test_run(SearchRun& run, int32_t v, int32_t k, int32_t iter) {
  OptimizerState& state = run.state();
  state.ngreedy = v;
  state.ntrial = k;
  run.build_and_adopt();
  // The plan count and its counter are 16-bit: iter above 32767 (or below
  // -32768) fails here, and 32767 fails at the counter's step past it.
  const auto plans = automation::checked_narrow<int16_t>(iter);
  for (int16_t i = 1; i <= plans; i = automation::checked_add(i, int16_t{1})) run.build_and_offer();
}

}  // namespace krelvo
