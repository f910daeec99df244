// The progress bar on standard error: percent, the best waste and bar count
// so far and the elapsed time, redrawn in place. Only on a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "length_scale.hpp"
#include "run.hpp"

namespace krelvo::cli {

// "[########------------]  42%  waste 1234.5  14 bars  bound 13  0:12", at most `width` columns.
std::string progress_line(const JobProgress& progress, const LengthScale& scale,
                          std::chrono::steady_clock::duration elapsed, std::size_t width);

class ProgressBar {
 public:
  // Draws only when `wanted` and standard error is a terminal.
  ProgressBar(bool wanted, const LengthScale& scale);
  ~ProgressBar();  // clears its line
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void draw(const JobProgress& progress);

 private:
  bool enabled_;
  const LengthScale& scale_;
  std::chrono::steady_clock::time_point start_;
  bool drawn_ = false;
};

}  // namespace krelvo::cli
