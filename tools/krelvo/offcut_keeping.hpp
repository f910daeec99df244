// Which leftovers go to the offcut rack: a leftover is kept when what remains
// after the saw cut that frees it is at least the length asked for.
#pragma once

#include "problem.hpp"

namespace krelvo::cli {

// Sets CutBar::kept for every bar; `min_length` is in the user's unit, 0 keeps
// nothing. It is compared exactly, with no rounding of its decimals.
void keep_offcuts(CuttingPlan& plan, const TransformedProblem& transformed, double min_length);

// Offcut bars the plan took without cutting a piece from them were never
// touched: they leave the plan and stay on the rack.
void drop_untouched_offcuts(CuttingPlan& plan, const Problem& problem);

}  // namespace krelvo::cli
