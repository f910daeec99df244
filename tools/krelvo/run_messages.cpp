#include "run_messages.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace krelvo::cli {
namespace {

// The most plans each level builds (razine_opt 1..4).
constexpr std::array<double, 4> kPlansPerLevel = {101, 1501, 14501, 54501};
// Seconds per plan for each item kind times piece, measured on a busy
// two-core machine (100 kinds of 2371 pieces: about 60 ms a plan).
constexpr double kSecondsPerKindPiece = 2.5e-7;
// Runs shorter than this need no notice.
constexpr double kLongRunSeconds = 30.0;

std::string duration_text(double seconds) {
  if (seconds < 90) return "about " + std::to_string(static_cast<int>(std::round(seconds))) + " s";
  if (seconds < 90 * 60) return "about " + std::to_string(static_cast<int>(std::round(seconds / 60))) + " min";
  return "about " + std::to_string(static_cast<int>(std::round(seconds / 3600))) + " h";
}

}  // namespace

std::string run_failure_text(const automation::AutomationError& error) {
  switch (error.number()) {
    case automation::kErrOutOfMemory:
      return "there was not enough memory for the plans of this job; split the item list or run fewer --jobs";
    case automation::kErrSubscriptOutOfRange:
      return "the stock ran out before every piece was cut: the pieces do not pack into the bars in stock; add "
             "bars, or a stock kind of quantity 0 (unlimited)";
    case automation::kErrOverflow:
      return "the job is too large for the optimizer: too many pieces, or lengths too large";
    default:
      return "the optimizer could not finish a plan for this job";
  }
}

std::string library_error_text(const automation::AutomationError& error) {
  std::string text = error.description() + " (error " + std::to_string(error.number());
  if (!error.source().empty()) text += " in " + error.source();
  return text + ")";
}

double estimated_run_seconds(const OptimizerInput& input, int level, double runs, int threads) {
  double pieces = 0.0;
  for (int32_t quantity : input.item_quantities) pieces += quantity;
  const double plans = kPlansPerLevel.at(static_cast<std::size_t>(std::clamp(level, 1, 4) - 1));
  const double one_run = plans * static_cast<double>(input.item_lengths.size()) * pieces * kSecondsPerKindPiece;
  return one_run * std::ceil(runs / std::max(threads, 1));
}

std::optional<std::string> long_run_notice(double estimated_seconds, std::optional<double> time_limit_seconds) {
  if (estimated_seconds < kLongRunSeconds) return std::nullopt;
  if (time_limit_seconds && *time_limit_seconds < estimated_seconds) return std::nullopt;
  return "this run may take " + duration_text(estimated_seconds) +
         "; Ctrl-C or --time-limit SECONDS stops it early with the best plan so far";
}

}  // namespace krelvo::cli
