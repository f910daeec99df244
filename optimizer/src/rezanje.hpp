// The host's plan layout, made when `rezanje` is read: an array of variants
// 0..bars, element 0 empty, element b the counts 0..nitem of bar b.
#pragma once

#include "automation/variant.hpp"
#include "plan.hpp"

namespace krelvo {

// Before any adoption: an array-of-variants value that holds no array.
automation::Variant plan_to_rezanje(const Plan& plan, bool has_plan);

}  // namespace krelvo
