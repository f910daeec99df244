// The checks every plan of clsOptimizacija must pass, worked out from the
// problem the host gave: the layout of rezanje, every piece placed once, no
// bar over its length, otpad as the leftover of every bar but the last.
#pragma once

#include <cstdint>
#include <string>

#include "automation/variant.hpp"
#include "optimizer_problem.hpp"

namespace fuzz {

// What is wrong with the three best-plan fields, or "" when they describe one
// complete plan of the problem. The fuzz target aborts on a fault; the
// differential tests apply it to every plan both builders make.
std::string plan_fault(const Problem& problem, const automation::Variant& rezanje, int32_t brsipka, double otpad);

}  // namespace fuzz
