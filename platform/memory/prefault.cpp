#include "automation/prefault.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace automation {
namespace {

// Below this the faults cost less than the call.
constexpr std::size_t kLeastBytes = std::size_t{1} << 20;

}  // namespace

void prefault_for_writing(void* buffer, std::size_t bytes) noexcept {
  if (bytes < kLeastBytes) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(buffer);
  // Only whole pages inside the buffer: the memory around it is not ours.
  const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t last = (begin + bytes) & ~(page - 1);
  // Advice only: where the kernel refuses it, the pages fault in as they are written.
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
}

}  // namespace automation
