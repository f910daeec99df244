// The checks every plan of clsOptimizacija must pass, worked out from the
// problem the host gave: the layout of rezanje, every piece placed once, no
// bar over its length, otpad as the leftover of every bar but the last.
#pragma once

#include <cstdint>

#include "automation/variant.hpp"
#include "optimizer_problem.hpp"

namespace fuzz {

// Aborts, saying what is wrong, unless the three best-plan fields describe one
// complete plan of the problem.
void check_plan(const Problem& problem, const automation::Variant& rezanje, int32_t brsipka, double otpad);

}  // namespace fuzz
