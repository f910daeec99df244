// The loop of a fault sweep over FaultyFileSystem or FailingSqliteVfs: count
// the calls of a healthy run, then fail each kind of call at each of them in
// turn (up to `most`), once and, when asked, from then on too.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace test_support {

// The calls of each kind since the faults' counts were last reset.
template <class Faults>
std::array<int, Faults::kCallKinds> calls_counted(const Faults& faults) {
  std::array<int, Faults::kCallKinds> counts{};
  for (std::size_t kind = 0; kind < counts.size(); ++kind)
    counts[kind] = faults.count(static_cast<typename Faults::Call>(kind));
  return counts;
}

// Calls try_point(failure, nth, persistent) for every failure point; each
// failure kind names its call in `.call`. Returns how many points it tried.
template <std::size_t kKinds, class FailureKind, class TryPoint>
int sweep_failure_points(const std::array<int, kKinds>& healthy_counts, const std::vector<FailureKind>& failures,
                         int most, bool persistent_too, TryPoint try_point) {
  int tried = 0;
  for (const FailureKind& failure : failures) {
    const int points = std::min(healthy_counts[static_cast<std::size_t>(failure.call)], most);
    for (int nth = 1; nth <= points; ++nth)
      for (const bool persistent : {false, true}) {
        if (persistent && !persistent_too) continue;
        try_point(failure, nth, persistent);
        ++tried;
      }
  }
  return tried;
}

}  // namespace test_support
