#include "random_integer.hpp"

#include "automation/checked_math.hpp"
#include "automation/random_generator.hpp"

namespace drumel::encript {

int32_t random_between(int32_t ub, int32_t lb) {
  automation::RandomGenerator generator;
  generator.seed_from_clock();
  const float r = generator.next();
  const int32_t width = automation::checked_add(automation::checked_sub(ub, lb), int32_t{1});
  // r is a multiple of 2^-24, so r × width is computed exactly in 64 bits and
  // the arithmetic shift floors it. In doubles, lb + r × width could round up to
  // ub + 1 when r is just below 1 and |lb| is near 2^31.
  const auto draw = static_cast<int64_t>(r * 0x1.0p24f);
  return automation::checked_narrow<int32_t>(lb + ((draw * width) >> 24));
}

}  // namespace drumel::encript
