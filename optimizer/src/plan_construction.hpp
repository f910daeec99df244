// How a schedule has its plans built: the fast builder in the library, the
// reference builder in tests and benchmarks. Both draw from the object's
// generator and build into the object's trial plan.
#pragma once

#include <cstdint>

#include "automation/random_generator.hpp"
#include "plan.hpp"

namespace krelvo {

class PlanConstruction {
 public:
  virtual ~PlanConstruction() = default;
  // One complete plan into `plan`; returns its waste.
  virtual double build(const ProblemInputs& inputs, int32_t ngreedy, int32_t ntrial,
                       automation::RandomGenerator& generator, Plan& plan) = 0;
};

}  // namespace krelvo
