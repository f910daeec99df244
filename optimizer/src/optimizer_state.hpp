// Everything a clsOptimizacija holds: the eight public fields, the problem,
// the search settings, the best and the trial plan, its generator and its
// event source. One per object; nothing in it is shared between objects.
#pragma once

#include <cstdint>

#include "automation/object.hpp"
#include "automation/random_generator.hpp"
#include "automation/variant_bool.hpp"
#include "plan.hpp"
#include "plan_builder.hpp"

namespace krelvo {

struct OptimizerState {
  int32_t razina = 0;
  automation::VariantBool randomiziraj;
  int32_t nsource = 0;
  automation::VariantBool prekid;
  int32_t brsipka = 0;
  double otpad = 0.0;
  int16_t progress = 0;
  ProblemInputs inputs;  // nitem and the four arrays

  // Bar-filling settings; the schedules use the fields themselves as loop variables.
  int32_t ngreedy = 0;
  int32_t ntrial = 0;
  Plan best_plan;
  bool has_best_plan = false;  // `rezanje` holds no array until the first adoption
  Plan trial_plan;

  automation::RandomGenerator generator;
  PlanBuilder builder;
  automation::EventSource events;
  bool running = false;      // a run of pokreni or test is in progress
  uint64_t plans_built = 0;  // every plan started since creation
};

}  // namespace krelvo
