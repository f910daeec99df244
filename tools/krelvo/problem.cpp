#include "problem.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "automation/error.hpp"
#include "input_checks.hpp"

namespace krelvo::cli {
namespace {

void check_allowance(double value, const char* option) {
  if (!std::isfinite(value) || value < 0.0)
    raise_input_error(option, round_trip_number_text(value) + " must be a number of 0 or more");
}

void check_demand(const Problem& problem) {
  if (problem.items.empty()) raise_input_error(problem.items_source, "the item list is empty");
  if (problem.stock.empty()) raise_input_error(problem.stock_source, "the stock list is empty");
  int64_t pieces = 0;
  for (const Kind& item : problem.items) pieces += item.quantity;
  if (pieces == 0) raise_input_error(problem.items_source, "nothing to cut: every item quantity is 0");
  if (pieces > std::numeric_limits<int32_t>::max())
    raise_input_error(problem.items_source, std::to_string(pieces) + " pieces in all, more than 2147483647");
}

// Kinds after the first unlimited one are never reached by the consumption order.
std::size_t reachable_stock_kinds(const Problem& problem) {
  for (std::size_t kind = 0; kind < problem.stock.size(); ++kind)
    if (problem.stock[kind].quantity == 0) return kind + 1;
  return problem.stock.size();
}

double finite_units(double units, const std::string& where) {
  if (!std::isfinite(units)) raise_input_error(where, "length is too large to compute with");
  return units;
}

[[noreturn]] void raise_bad_plan(const std::string& problem) {
  automation::raise_invalid_argument("the optimizer returned a plan that " + problem);
}

}  // namespace

TransformedProblem transform(const Problem& problem, const Allowances& allowances) {
  check_allowance(allowances.kerf, "--kerf");
  check_allowance(allowances.trim, "--trim");
  check_demand(problem);

  std::vector<double> lengths{allowances.kerf, allowances.trim};
  for (const Kind& kind : problem.stock) lengths.push_back(kind.length);
  for (const Kind& kind : problem.items) lengths.push_back(kind.length);

  TransformedProblem result;
  result.scale = LengthScale::for_lengths(lengths);
  const LengthScale& scale = result.scale;
  result.kerf_units = scale.to_units(allowances.kerf);
  result.trim_units = scale.to_units(allowances.trim);

  // A bar offers its length less the trim, plus one kerf: n pieces then take
  // their lengths and n - 1 cuts, the last piece needing no cut when it ends the bar.
  const std::size_t reachable = reachable_stock_kinds(problem);
  double longest_usable = 0.0;
  for (std::size_t kind = 0; kind < problem.stock.size(); ++kind) {
    const Kind& stock = problem.stock[kind];
    const double units = scale.to_units(stock.length);
    const double usable = units - result.trim_units;
    if (usable <= 0.0)
      raise_input_error(stock.origin, "length " + scale.format(units) + " leaves nothing after the trim " +
                                          scale.format(result.trim_units));
    if (kind < reachable) longest_usable = std::max(longest_usable, usable);
    if (kind == reachable)
      result.warnings.push_back(stock.origin + ": this and later stock kinds are never used, because " +
                                problem.stock[reachable - 1].origin + " is unlimited (quantity 0)");
    result.stock_units.push_back(units);
    result.input.stock_lengths.push_back(finite_units(usable + result.kerf_units, stock.origin));
    result.input.stock_quantities.push_back(stock.quantity);
  }

  for (const Kind& item : problem.items) {
    const double units = scale.to_units(item.length);
    if (item.quantity > 0 && units > longest_usable)
      raise_input_error(item.origin, "length " + scale.format(units) +
                                         " is longer than every stock bar (the longest usable length is " +
                                         scale.format(longest_usable) + ")");
    result.item_units.push_back(units);
  }

  // Ascending lengths: the optimizer prefers high kind numbers, so its greedy
  // steps then place the longest piece that fits.
  result.user_item.resize(problem.items.size());
  std::iota(result.user_item.begin(), result.user_item.end(), std::size_t{0});
  std::stable_sort(result.user_item.begin(), result.user_item.end(),
                   [&](std::size_t a, std::size_t b) { return result.item_units[a] < result.item_units[b]; });
  for (std::size_t user : result.user_item) {
    const Kind& item = problem.items[user];
    result.input.item_lengths.push_back(finite_units(result.item_units[user] + result.kerf_units, item.origin));
    result.input.item_quantities.push_back(item.quantity);
  }
  return result;
}

CuttingPlan map_back(const Problem& problem, const TransformedProblem& transformed, const OptimizerPlan& plan) {
  const std::size_t kinds = transformed.user_item.size();
  std::vector<int64_t> cut(problem.items.size(), 0);
  CuttingPlan result;
  result.bars.reserve(plan.patterns.size());
  std::size_t stock = 0;
  int32_t taken_of_stock = 0;
  for (const std::vector<int32_t>& pattern : plan.patterns) {
    if (stock >= problem.stock.size()) raise_bad_plan("uses more bars than the stock holds");
    if (pattern.size() != kinds) raise_bad_plan("has a bar with the wrong number of item kinds");
    CutBar bar;
    bar.stock = stock;
    for (std::size_t kind = 0; kind < kinds; ++kind) {
      if (pattern[kind] < 0) raise_bad_plan("has a negative count");
      const std::size_t user = transformed.user_item[kind];
      cut[user] += pattern[kind];
      bar.pieces.insert(bar.pieces.end(), static_cast<std::size_t>(pattern[kind]), user);
    }
    std::sort(bar.pieces.begin(), bar.pieces.end(), [&](std::size_t a, std::size_t b) {
      const double length_a = transformed.item_units[a];
      const double length_b = transformed.item_units[b];
      return length_a != length_b ? length_a > length_b : a < b;
    });

    const double length = transformed.stock_units[stock];
    if (bar.pieces.empty()) {
      bar.leftover = length;  // an untouched bar needs neither trim nor cut
    } else {
      double pieces_length = 0.0;
      for (std::size_t user : bar.pieces) pieces_length += transformed.item_units[user];
      const double cuts = static_cast<double>(bar.pieces.size() - 1) * transformed.kerf_units;
      bar.leftover = length - transformed.trim_units - pieces_length - cuts;
      // Without exact units the optimizer's sums may round the other way than ours.
      const double slack = transformed.scale.exact() ? 0.0 : 1e-9 * length;
      if (bar.leftover < -slack) raise_bad_plan("overfills a bar");
      bar.leftover = std::max(bar.leftover, 0.0);
    }
    bar.used = length - bar.leftover;
    result.bars.push_back(std::move(bar));

    if (problem.stock[stock].quantity > 0 && ++taken_of_stock == problem.stock[stock].quantity) {
      ++stock;
      taken_of_stock = 0;
    }
  }
  for (std::size_t user = 0; user < problem.items.size(); ++user)
    if (cut[user] != problem.items[user].quantity)
      raise_bad_plan("cuts " + std::to_string(cut[user]) + " pieces of " + problem.items[user].origin + " instead of " +
                     std::to_string(problem.items[user].quantity));
  return result;
}

}  // namespace krelvo::cli
