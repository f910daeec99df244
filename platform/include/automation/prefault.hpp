// A large fresh buffer (a whole text) costs more in page faults than in the
// work done on it: one trap per 4 KiB page as it is first written.
#pragma once

#include <cstddef>

#include "automation/runtime_api.hpp"

namespace automation {

// Maps the pages of a buffer about to be written, in one call instead of one
// fault each. The content stays as it is; small buffers and kernels without
// the call are left to fault as usual.
AUTOMATION_RUNTIME_API void prefault_for_writing(void* buffer, std::size_t bytes) noexcept;

}  // namespace automation
