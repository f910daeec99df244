// The memory a plan may take; past it a run ends with the out-of-memory
// error instead of exhausting the machine.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krelvo {

std::size_t plan_memory_limit_bytes();
// Raises the out-of-memory error when `bars` rows of `nitem + 1` counts exceed the limit.
void require_plan_memory(int64_t bars, int32_t nitem);

}  // namespace krelvo
