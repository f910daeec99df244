// buildplan and fillbar written the plain way, bar by bar and scan by scan
// over the host's bounded arrays: the oracle that the fast builder must match
// draw for draw, and the baseline of the benchmarks. Not part of the library.
#pragma once

#include <cstdint>

#include "plan_construction.hpp"

namespace krelvo {

class ReferencePlanBuilder final : public PlanConstruction {
 public:
  double build(const ProblemInputs& inputs, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
               Plan& plan) override;
};

}  // namespace krelvo
