#include "cbc_search.hpp"

#include <CbcEventHandler.hpp>
#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <OsiClpSolverInterface.hpp>
#include <algorithm>
#include <cmath>
#include <string>

namespace krelvo::cli::exact {
namespace {

// Objective values are whole bar counts; this absorbs the solver's tolerance.
constexpr double kIntegerSlack = 1e-6;

int64_t round_up(double value) { return static_cast<int64_t>(std::ceil(value - kIntegerSlack)); }

// Passes the solver's progress on and stops it on request. CBC copies the
// handler into the model it really solves (after preprocessing), so it keeps
// only a reference to the caller's limits.
class SearchEvents final : public CbcEventHandler {
 public:
  explicit SearchEvents(const SearchLimits& limits) : limits_(limits) {}
  CbcEventHandler* clone() const override { return new SearchEvents(*this); }

  CbcAction event(CbcEvent which) override {
    if (which == node || which == solution || which == heuristicSolution || which == treeStatus) report();
    return limits_.should_stop && limits_.should_stop() ? stop : noAction;
  }

 private:
  void report() const {
    if (!limits_.on_progress || model_ == nullptr) return;
    const int64_t bars = model_->bestSolution() != nullptr ? std::llround(model_->getObjValue()) : 0;
    limits_.on_progress(bars, round_up(model_->getBestPossibleObjValue()));
  }

  const SearchLimits& limits_;
};

}  // namespace

CbcOutcome search_below_cutoff(const OsiClpSolverInterface& problem, int64_t cutoff_bars, const SearchLimits& limits) {
  CbcOutcome outcome;
  const auto cutoff = static_cast<double>(cutoff_bars) - 0.5;
  CbcModel model(problem);
  CbcSolverUsefulData data;
  CbcMain0(model, data);
  model.setLogLevel(0);
  model.messageHandler()->setLogLevel(0);
  model.setCutoff(cutoff);
  const SearchEvents events(limits);
  model.passInEventHandler(&events);

  const std::string seconds = std::to_string(std::max(0.0, limits.seconds));
  const std::string cutoff_text = std::to_string(cutoff);
  const char* arguments[] = {"krelvo", "-log", "0", "-sec", seconds.c_str(), "-cutoff", cutoff_text.c_str(),
                             "-solve", "-quit"};
  CbcMain1(static_cast<int>(std::size(arguments)), arguments, model, [](CbcModel*, int) { return 0; }, data);

  // With nothing left below the cutoff the solver's bound may be infinite.
  const double best_possible = model.getBestPossibleObjValue();
  outcome.bound = best_possible >= static_cast<double>(cutoff_bars) ? cutoff_bars
                                                                    : round_up(std::max(0.0, best_possible));
  if (const double* values = model.bestSolution(); values != nullptr && model.getObjValue() < cutoff)
    outcome.solution.emplace(values, values + model.getNumCols());
  outcome.finished = model.status() == 0 && (model.isProvenOptimal() || model.isProvenInfeasible());
  if (outcome.finished)
    outcome.bound =
        std::max(outcome.bound, outcome.solution ? static_cast<int64_t>(std::llround(model.getObjValue())) : cutoff_bars);
  return outcome;
}

}  // namespace krelvo::cli::exact
