// The memory one object's plans may take; past it a run ends with the
// out-of-memory error instead of exhausting the machine. Every live copy
// counts: the best and the trial plan (rows over the kinds with demand) and
// the host's copy made when `rezanje` is read (rows of nitem + 1 counts).
#pragma once

#include <cstddef>
#include <cstdint>

namespace krelvo {

// Half of the memory available to the process (the machine's, or its
// cgroup's limit when lower): the host keeps its own copies of the plan too.
std::size_t plan_memory_limit_bytes();
// Replaces the limit (0: back to the one worked out from the machine); tests
// use it to reach the guard with small problems.
void set_plan_memory_limit_bytes(std::size_t bytes) noexcept;

// What a run holds for a plan of `bars` bars: two plans of `columns` counts
// per bar, and the host's rows of `nitem + 1` counts in variants.
double plan_memory_bytes(int64_t bars, int32_t columns, int32_t nitem) noexcept;
// Raises the out-of-memory error when such a plan exceeds the limit.
void require_plan_memory(int64_t bars, int32_t columns, int32_t nitem);
// The same for reading `rezanje` of a plan already held.
void require_host_plan_memory(int64_t bars, int32_t nitem);

}  // namespace krelvo
