#include "search_run.hpp"

#include <utility>

namespace krelvo {

double SearchRun::build_plan() {
  ++state_.plans_built;
  return construction_.build(state_.inputs, state_.ngreedy, state_.ntrial, state_.generator, state_.trial_plan);
}

double SearchRun::build_and_adopt() {
  const double waste = build_plan();
  adopt(waste);
  return waste;
}

double SearchRun::build_and_offer() {
  const double waste = build_plan();
  if (waste < state_.otpad) adopt(waste);
  return waste;
}

void SearchRun::adopt(double waste) {
  // Swapping the buffers adopts without copying; the old best becomes the
  // next trial's storage, kept as large as the plans seen so far.
  std::swap(state_.best_plan, state_.trial_plan);
  state_.has_best_plan = true;
  state_.brsipka = state_.best_plan.bars;
  state_.otpad = waste;
  if (state_.trial_plan.counts.size() < state_.best_plan.counts.size())
    state_.trial_plan.counts.resize(state_.best_plan.counts.size());
}

void SearchRun::begin_level() {
  state_.progress = 0;
  report_();
  state_.ngreedy = 0;
  state_.ntrial = 100;
  build_and_adopt();
}

bool SearchRun::checkpoint(int16_t value) {
  state_.progress = value;
  report_();
  return static_cast<bool>(state_.prekid);
}

}  // namespace krelvo
