#include "problem.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "automation/error.hpp"
#include "decimal.hpp"
#include "input_checks.hpp"
#include "lower_bound.hpp"

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

std::vector<std::size_t> checked_order(const Problem& problem, std::span<const std::size_t> stock_order) {
  std::vector<std::size_t> order(stock_order.begin(), stock_order.end());
  if (order.empty()) {
    order.resize(problem.stock.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
  }
  std::vector<std::size_t> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t index = 0; index < sorted.size(); ++index)
    if (sorted[index] != index || sorted.size() != problem.stock.size())
      automation::raise_invalid_argument("a stock order must name every stock kind once");
  return order;
}

// One length of the problem, to be converted exactly.
struct LengthToScale {
  Decimal decimal;
  std::string text;   // as written
  std::string where;  // for messages
};

LengthToScale length_to_scale(const std::string& written, double value, std::string where) {
  std::string text = written.empty() ? round_trip_number_text(value) : written;
  const std::optional<Decimal> decimal = parse_decimal(text);
  if (!decimal) raise_input_error(where, "length \"" + shortened(text) + "\" is not a number");
  if (decimal->decimals() > LengthScale::kMaxDecimals)
    raise_input_error(where, "length " + shortened(text) + " has " + std::to_string(decimal->decimals()) +
                                 " decimals; krelvo works to " + std::to_string(LengthScale::kMaxDecimals) +
                                 " decimals at most");
  return {*decimal, std::move(text), std::move(where)};
}

double units_of(const LengthToScale& length, int decimals) {
  const std::optional<int64_t> units = length.decimal.scaled(decimals, LengthScale::kLargestUnits);
  if (!units)
    raise_input_error(length.where, "length " + shortened(length.text) + " is too large to compute with exactly");
  return static_cast<double>(*units);
}

// "18 000": digits grouped in threes once a number has five or more.
std::string grouped(const std::string& number) {
  const std::size_t point = std::min(number.find('.'), number.size());
  if (point < 5) return number;
  std::string result;
  for (std::size_t at = 0; at < point; ++at) {
    if (at > 0 && (point - at) % 3 == 0) result += ' ';
    result += number[at];
  }
  return result + number.substr(point);
}

std::string bars_text(int64_t count, const std::string& length) {
  return std::to_string(count) + (count == 1 ? " bar of " : " bars of ") + length;
}

// Limited stock that cannot hold the demand is said before the run, in the
// user's units, instead of a failed run.
void check_stock_suffices(const Problem& problem, const TransformedProblem& result) {
  const OptimizerInput& input = result.input;
  for (int32_t quantity : input.stock_quantities)
    if (quantity == 0) return;
  const LengthScale& scale = result.scale;
  double demand = 0.0;
  std::vector<SizeCount> pieces;
  for (std::size_t kind = 0; kind < input.item_lengths.size(); ++kind) {
    demand += input.item_lengths[kind] * input.item_quantities[kind];
    pieces.push_back({input.item_lengths[kind], input.item_quantities[kind]});
  }
  double offered = 0.0;
  bool one_length = true;
  std::string in_stock;
  for (std::size_t kind = 0; kind < input.stock_lengths.size(); ++kind) {
    offered += input.stock_lengths[kind] * input.stock_quantities[kind];
    one_length = one_length && input.stock_lengths[kind] == input.stock_lengths.front();
    if (!in_stock.empty()) in_stock += kind + 1 == input.stock_lengths.size() ? " and " : ", ";
    in_stock += bars_text(input.stock_quantities[kind], scale.format(result.stock_units[result.user_stock[kind]]));
  }
  if (one_length) {
    int64_t bars = 0;
    for (int32_t quantity : input.stock_quantities) bars += quantity;
    const int64_t needed = bar_lower_bound(pieces, input.stock_lengths.front());
    if (needed <= bars) return;
    const double length = result.stock_units[result.user_stock.front()];
    raise_input_error(problem.stock_source,
                      "the items need at least " + bars_text(needed, scale.format(length)) + " (" +
                          grouped(scale.format(length * static_cast<double>(needed))) + " in all), but only " +
                          bars_text(bars, scale.format(length)) + (bars == 1 ? " is" : " are") + " in stock");
  }
  if (demand <= offered) return;
  const bool allowances = result.kerf_units > 0.0 || result.trim_units > 0.0;
  raise_input_error(problem.stock_source,
                    "the items need at least " + grouped(scale.format(demand)) + " of stock in all" +
                        (allowances ? " (with saw cuts and trim)" : "") + ", but the stock in hand offers only " +
                        grouped(scale.format(offered)) + ": " + in_stock);
}

[[noreturn]] void raise_bad_plan(const std::string& problem) {
  automation::raise_invalid_argument("the optimizer returned a plan that " + problem);
}

}  // namespace

std::string short_origin(const Kind& kind, const std::string& source) {
  const std::string_view origin = kind.origin;
  if (origin.starts_with(source + ": ")) return kind.origin.substr(source.size() + 2);
  if (origin.starts_with(source + ":")) return "line " + kind.origin.substr(source.size() + 1);
  return kind.origin;
}

TransformedProblem transform(const Problem& problem, const Allowances& allowances,
                             std::span<const std::size_t> stock_order) {
  check_allowance(allowances.kerf, "--kerf");
  check_allowance(allowances.trim, "--trim");
  check_allowance(allowances.keep_offcuts, "--keep-offcuts");
  check_demand(problem);
  TransformedProblem result;
  result.user_stock = checked_order(problem, stock_order);

  std::vector<LengthToScale> lengths;
  lengths.push_back(length_to_scale({}, allowances.kerf, "--kerf"));
  lengths.push_back(length_to_scale({}, allowances.trim, "--trim"));
  lengths.push_back(length_to_scale({}, allowances.keep_offcuts, "--keep-offcuts"));
  for (const Kind& kind : problem.stock) lengths.push_back(length_to_scale(kind.length_text, kind.length, kind.origin));
  for (const Kind& kind : problem.items) lengths.push_back(length_to_scale(kind.length_text, kind.length, kind.origin));
  int64_t decimals = 0;
  for (const LengthToScale& length : lengths) decimals = std::max(decimals, length.decimal.decimals());
  result.scale = LengthScale(static_cast<int>(decimals));
  std::vector<double> units;
  for (const LengthToScale& length : lengths) units.push_back(units_of(length, static_cast<int>(decimals)));
  result.kerf_units = units[0];
  result.trim_units = units[1];
  result.keep_units = units[2];
  const auto stock_start = units.begin() + 3;
  result.stock_units.assign(stock_start, stock_start + static_cast<std::ptrdiff_t>(problem.stock.size()));
  result.item_units.assign(stock_start + static_cast<std::ptrdiff_t>(problem.stock.size()), units.end());

  // A bar offers its length less the trim, plus one kerf: n pieces then take
  // their lengths and n - 1 cuts, the last piece needing no cut when it ends the bar.
  // Kinds after the first unlimited one are never reached.
  bool reachable = true;
  double longest_usable = 0.0;
  for (std::size_t position = 0; position < result.user_stock.size(); ++position) {
    const Kind& stock = problem.stock[result.user_stock[position]];
    const double length = result.stock_units[result.user_stock[position]];
    const double usable = length - result.trim_units;
    if (usable <= 0.0)
      raise_input_error(stock.origin, "length " + result.scale.format(length) + " leaves nothing after the trim " +
                                          result.scale.format(result.trim_units));
    if (reachable) longest_usable = std::max(longest_usable, usable);
    result.input.stock_lengths.push_back(usable + result.kerf_units);
    result.input.stock_quantities.push_back(stock.quantity);
    if (reachable && stock.quantity == 0 && position + 1 < result.user_stock.size()) {
      const Kind& next = problem.stock[result.user_stock[position + 1]];
      result.warnings.push_back(next.origin + ": this and later stock kinds are never used, because " +
                                short_origin(stock, problem.stock_source) + " is unlimited (quantity 0)");
    }
    if (stock.quantity == 0) reachable = false;
  }

  for (std::size_t user = 0; user < problem.items.size(); ++user) {
    const Kind& item = problem.items[user];
    if (item.quantity > 0 && result.item_units[user] > longest_usable)
      raise_input_error(item.origin, "length " + result.scale.format(result.item_units[user]) +
                                         " is longer than every stock bar (the longest usable length is " +
                                         result.scale.format(longest_usable) + ")");
  }

  // Ascending lengths: the optimizer prefers high kind numbers, so its greedy
  // steps then place the longest piece that fits. Kinds without demand stay
  // out: every bar of the plan holds a count per kind it is given.
  for (std::size_t user = 0; user < problem.items.size(); ++user)
    if (problem.items[user].quantity > 0) result.user_item.push_back(user);
  std::stable_sort(result.user_item.begin(), result.user_item.end(),
                   [&](std::size_t a, std::size_t b) { return result.item_units[a] < result.item_units[b]; });
  for (std::size_t user : result.user_item) {
    result.input.item_lengths.push_back(result.item_units[user] + result.kerf_units);
    result.input.item_quantities.push_back(problem.items[user].quantity);
  }
  check_stock_suffices(problem, result);
  return result;
}

CuttingPlan map_back(const Problem& problem, const TransformedProblem& transformed, const OptimizerPlan& plan) {
  const std::size_t kinds = transformed.user_item.size();
  std::vector<int64_t> cut(problem.items.size(), 0);
  CuttingPlan result;
  result.bars.reserve(plan.patterns.size());
  std::size_t position = 0;  // in the stock order used
  int32_t taken_of_stock = 0;
  for (const std::vector<int32_t>& pattern : plan.patterns) {
    if (position >= transformed.user_stock.size()) raise_bad_plan("uses more bars than the stock holds");
    const std::size_t stock = transformed.user_stock[position];
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
      if (bar.leftover < 0.0) raise_bad_plan("overfills a bar");
    }
    bar.used = length - bar.leftover;
    result.bars.push_back(std::move(bar));

    if (problem.stock[stock].quantity > 0 && ++taken_of_stock == problem.stock[stock].quantity) {
      ++position;
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
