#include "plan.hpp"

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <new>
#include <string>

#include "automation/checked_math.hpp"
#include "plan_memory.hpp"

namespace krelvo {

uint64_t next_input_version() noexcept {
  static std::atomic<uint64_t> counter{0};
  return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::size_t plan_memory_limit_bytes() {
  // A quarter of the machine's memory for one plan's counts: the object holds
  // two plans (best and trial), and the host's copy from `rezanje` is larger still.
  static const std::size_t limit = [] {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return std::size_t{1} << 30;
    return static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(page_size);
  }();
  return limit;
}

void require_plan_memory(int64_t bars, int32_t nitem) {
  const auto bytes = static_cast<double>(bars) * (static_cast<double>(nitem) + 1.0) * sizeof(int32_t);
  if (bytes > static_cast<double>(plan_memory_limit_bytes()))
    automation::raise_out_of_memory("Out of memory: a plan of at least " + std::to_string(bars) + " bars of " +
                                    std::to_string(nitem) + " item kinds cannot be held");
}

std::span<int32_t> Plan::append_bar() {
  bars = automation::checked_add(bars, int32_t{1});
  const std::size_t end = static_cast<std::size_t>(bars) * stride();
  if (end > counts.size()) {
    require_plan_memory(bars, nitem);
    // Doubling keeps growth rare; the limit caps it.
    const std::size_t limit = plan_memory_limit_bytes() / sizeof(int32_t);
    try {
      counts.resize(std::max(end, std::min(counts.size() * 2, limit)));
    } catch (const std::bad_alloc&) {
      automation::raise_out_of_memory("Out of memory: a plan of " + std::to_string(bars) + " bars cannot be held");
    }
  }
  const std::span<int32_t> row = std::span<int32_t>(counts).subspan(end - stride(), stride());
  std::fill(row.begin(), row.end(), 0);
  return row;
}

}  // namespace krelvo
