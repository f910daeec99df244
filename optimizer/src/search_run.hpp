// The steps every schedule shares: build a plan, the best-so-far rule
// (adopt, offer) and the progress and abort protocol (first report, checkpoint).
#pragma once

#include <cstdint>
#include <functional>

#include "optimizer_state.hpp"
#include "plan_construction.hpp"

namespace krelvo {

class SearchRun {
 public:
  // `report` raises ProgressUpdate and yields to the host once.
  SearchRun(OptimizerState& state, PlanConstruction& construction, std::function<void()> report)
      : state_(state), construction_(construction), report_(std::move(report)) {}

  OptimizerState& state() noexcept { return state_; }

  // Builds a plan with the current settings into the trial plan; returns its waste.
  double build_plan();
  // The first plan of a run replaces the best whatever it held.
  double build_and_adopt();
  // A later plan replaces the best only with a strictly smaller waste.
  double build_and_offer();

  // How every level begins: progress 0 and the event (prekid is not looked at
  // there), then the first plan with ngreedy 0 and ntrial 100, adopted
  // whatever the previous run left.
  void begin_level();
  // progress p, the event, the yield; true when the schedule must stop on prekid.
  bool checkpoint(int16_t value);

 private:
  void adopt(double waste);

  OptimizerState& state_;
  PlanConstruction& construction_;
  std::function<void()> report_;
};

}  // namespace krelvo
