#include "memory_need.hpp"

#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace krelvo::cli {
namespace {

// Copies of a job's plan alive at once: the optimizer's best and trial plans,
// the copy it hands out, and the one krelvo reads it into.
constexpr double kPlanCopies = 4.0;

std::optional<double> cgroup_limit() {
  for (const char* path : {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
    std::ifstream file(path);
    double limit = 0.0;
    if (file >> limit && limit > 0.0) return limit;  // "max" reads as no number: no limit
  }
  return std::nullopt;
}

std::string gigabytes(double bytes) {
  std::array<char, 32> buffer{};
  if (bytes >= 1e9)
    std::snprintf(buffer.data(), buffer.size(), "%.1f GB", bytes / 1e9);
  else
    std::snprintf(buffer.data(), buffer.size(), "%.0f MB", std::ceil(bytes / 1e6));
  return buffer.data();
}

}  // namespace

double run_memory_bytes(const OptimizerInput& input, int jobs) {
  double demand = 0.0;
  for (std::size_t kind = 0; kind < input.item_lengths.size(); ++kind)
    demand += input.item_lengths[kind] * input.item_quantities[kind];
  double longest = 0.0;
  for (double length : input.stock_lengths) longest = std::max(longest, length);
  const double bars = longest > 0.0 ? std::ceil(demand / longest) : 0.0;
  const double row_bytes = (static_cast<double>(input.item_lengths.size()) + 1.0) * sizeof(int32_t);
  return bars * row_bytes * kPlanCopies * jobs;
}

std::optional<double> memory_available_bytes() {
  std::optional<double> available;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages > 0 && page_size > 0) available = static_cast<double>(pages) * static_cast<double>(page_size);
  const auto lower = [&](double limit) { available = available ? std::min(*available, limit) : limit; };
  if (const auto limit = cgroup_limit()) lower(*limit);
  rlimit address_space{};
  if (getrlimit(RLIMIT_AS, &address_space) == 0 && address_space.rlim_cur != RLIM_INFINITY)
    lower(static_cast<double>(address_space.rlim_cur));
  return available;
}

std::optional<std::string> memory_refusal(double needed_bytes, std::optional<double> available_bytes, int jobs) {
  if (!available_bytes || needed_bytes <= *available_bytes) return std::nullopt;
  std::string text = "the job needs about " + gigabytes(needed_bytes) + " of memory";
  if (jobs > 1) text += " (" + std::to_string(jobs) + " jobs of " + gigabytes(needed_bytes / jobs) + ")";
  text += ", but only " + gigabytes(*available_bytes) + " is available";
  if (jobs > 1) text += "; run fewer --jobs or split the item list";
  else text += "; split the item list into smaller jobs";
  return text;
}

}  // namespace krelvo::cli
