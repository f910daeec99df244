#include "pattern_program.hpp"

#include <CoinPackedMatrix.hpp>
#include <OsiClpSolverInterface.hpp>
#include <cmath>

namespace krelvo::cli::exact {

std::optional<std::vector<Pattern>> solve_pattern_program(const CuttingInstance& instance,
                                                          const std::vector<Pattern>& patterns, int64_t cutoff_bars,
                                                          const SearchLimits& limits) {
  const std::size_t kinds = instance.sizes.size();
  if (patterns.empty() || kinds == 0 || cutoff_bars <= 1) return std::nullopt;
  CoinPackedMatrix matrix(true, 0, 0);
  matrix.setDimensions(static_cast<int>(kinds), 0);
  for (const Pattern& pattern : patterns) {
    std::vector<int> rows;
    std::vector<double> counts;
    for (std::size_t kind = 0; kind < kinds; ++kind)
      if (pattern[kind] > 0) {
        rows.push_back(static_cast<int>(kind));
        counts.push_back(pattern[kind]);
      }
    matrix.appendCol(static_cast<int>(rows.size()), rows.data(), counts.data());
  }
  const std::vector<double> lower(patterns.size(), 0.0);
  const std::vector<double> upper(patterns.size(), static_cast<double>(cutoff_bars));
  const std::vector<double> cost(patterns.size(), 1.0);
  std::vector<double> row_lower;
  for (const int64_t demand : instance.demands) row_lower.push_back(static_cast<double>(demand));
  const std::vector<double> row_upper(kinds, COIN_DBL_MAX);

  OsiClpSolverInterface model;
  model.loadProblem(matrix, lower.data(), upper.data(), cost.data(), row_lower.data(), row_upper.data());
  for (int column = 0; column < model.getNumCols(); ++column) model.setInteger(column);
  model.messageHandler()->setLogLevel(0);

  const CbcOutcome outcome = search_below_cutoff(model, cutoff_bars, limits);
  if (!outcome.solution) return std::nullopt;
  std::vector<Pattern> plan;
  for (std::size_t column = 0; column < patterns.size(); ++column)
    for (auto copies = std::llround((*outcome.solution)[column]); copies > 0; --copies) plan.push_back(patterns[column]);
  drop_surplus(instance, plan);
  return plan;
}

}  // namespace krelvo::cli::exact
