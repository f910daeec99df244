#include "plan.hpp"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

#include "automation/checked_math.hpp"
#include "memory_available.hpp"
#include "plan_memory.hpp"

namespace krelvo {

uint64_t next_input_version() noexcept {
  static std::atomic<uint64_t> counter{0};
  return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

namespace {

// 0: the limit worked out from the machine.
std::atomic<std::size_t> limit_override{0};

// A host row in `rezanje`: its counts 0..nitem, the variant holding them and
// the array's own bookkeeping.
constexpr double kHostRowOverheadBytes = 128.0;

[[noreturn]] void raise_plan_too_large(int64_t bars, int32_t nitem, double bytes) {
  automation::raise_out_of_memory("Out of memory: a plan of at least " + std::to_string(bars) + " bars of " +
                                  std::to_string(nitem) + " item kinds needs about " +
                                  std::to_string(static_cast<int64_t>(bytes / 1048576.0) + 1) + " MiB, more than the " +
                                  std::to_string(plan_memory_limit_bytes() / 1048576) + " MiB available for plans");
}

}  // namespace

std::size_t plan_memory_limit_bytes() {
  if (const std::size_t bytes = limit_override.load(std::memory_order_relaxed); bytes != 0) return bytes;
  static const std::size_t limit = static_cast<std::size_t>(memory_available_bytes() / 2);
  return limit;
}

void set_plan_memory_limit_bytes(std::size_t bytes) noexcept { limit_override.store(bytes, std::memory_order_relaxed); }

double plan_memory_bytes(int64_t bars, int32_t columns, int32_t nitem) noexcept {
  const auto rows = static_cast<double>(bars);
  const double own = 2.0 * rows * static_cast<double>(columns) * sizeof(int32_t);
  const double host = rows * ((static_cast<double>(nitem) + 1.0) * sizeof(int32_t) + kHostRowOverheadBytes);
  return own + host;
}

void require_plan_memory(int64_t bars, int32_t columns, int32_t nitem) {
  const double bytes = plan_memory_bytes(bars, columns, nitem);
  if (bytes > static_cast<double>(plan_memory_limit_bytes())) raise_plan_too_large(bars, nitem, bytes);
}

void require_host_plan_memory(int64_t bars, int32_t nitem) { require_plan_memory(bars, 0, nitem); }

std::span<int32_t> Plan::append_bar() {
  bars = automation::checked_add(bars, int32_t{1});
  const std::size_t end = static_cast<std::size_t>(bars) * stride();
  if (end > counts.size()) {
    const auto columns = static_cast<int32_t>(stride());
    require_plan_memory(bars, columns, nitem);
    // Doubling keeps growth rare; no larger than the most bars the limit allows.
    const double bytes_per_bar = plan_memory_bytes(1, columns, nitem);
    const auto most_bars = static_cast<std::size_t>(static_cast<double>(plan_memory_limit_bytes()) / bytes_per_bar);
    try {
      counts.resize(std::max(end, std::min(counts.size() * 2, most_bars * stride())));
    } catch (const std::bad_alloc&) {
      automation::raise_out_of_memory("Out of memory: a plan of " + std::to_string(bars) + " bars cannot be held");
    }
  }
  const std::span<int32_t> row = std::span<int32_t>(counts).subspan(end - stride(), stride());
  std::fill(row.begin(), row.end(), 0);
  return row;
}

}  // namespace krelvo
