// The object's working state, for tests and benchmarks that link the core
// (plan counter, generator, settings); hosts never see it.
#pragma once

#include "krelvo.hpp"
#include "optimizer_state.hpp"

namespace krelvo {

struct InternalAccess {
  static OptimizerState& state(clsOptimizacija& object) { return *object.state_; }
};

}  // namespace krelvo
