// The light schedules and the test run: optbrza (101 plans, 10 checkpoints),
// optstandardna (1501 plans over the fifteen settings, 75 checkpoints) and
// test (1 + iter plans with a caller's setting, no reports).
#pragma once

#include <cstdint>

#include "search_run.hpp"

namespace krelvo {

void optbrza(SearchRun& run);
void optstandardna(SearchRun& run);
void test_run(SearchRun& run, int32_t v, int32_t k, int32_t iter);

// c x span / count rounded to the nearest, halves to even, as a 16-bit
// progress value (the product in 32-bit arithmetic).
int16_t scaled_progress(int32_t c, int32_t span, int32_t count);

}  // namespace krelvo
