// A random integer between two bounds, from a generator seeded afresh from the clock.
#pragma once

#include <cstdint>

namespace drumel::encript {

// floor(r × (ub − lb + 1) + lb) for one draw r in [0, 1); the overflow error
// when ub − lb + 1 leaves the 32-bit range.
int32_t random_between(int32_t ub, int32_t lb);

}  // namespace drumel::encript
