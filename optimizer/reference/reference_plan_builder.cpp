#include "reference_plan_builder.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "automation/checked_math.hpp"
#include "stock_bar.hpp"

namespace krelvo {
namespace {

using automation::RandomGenerator;

struct ReferencePlan {
  const ProblemInputs& inputs;
  int32_t nitem;
  int32_t ngreedy;
  int32_t ntrial;
  RandomGenerator& generator;
  SafeArray<int32_t> mrest;
  int32_t nrest = 0;
  SafeArray<int32_t> bestpattern;

  // Scan from s down to 1: the first kind whose piece fits and whose open
  // demand is not used up in the pattern gets one piece. Index 0 is tested too
  // (its elements must exist) but never receives a piece.
  bool scan(int32_t s, SafeArray<int32_t>& pattern, double& fill, double bar_length) {
    for (int32_t i = s; i >= 1; --i) {
      if (pattern.at(i) != mrest.at(i) && fill + inputs.litem.at(i) <= bar_length) {
        pattern.at(i) += 1;
        fill += inputs.litem.at(i);
        return true;
      }
    }
    (void)inputs.litem.at(0);
    (void)mrest.at(0);
    (void)pattern.at(0);
    return false;
  }

  double fillbar(double bar_length) {
    double best_fill = 0.0;
    bestpattern = SafeArray<int32_t>(0, nitem);
    for (int32_t t = 1; t <= ntrial; ++t) {
      SafeArray<int32_t> pattern(0, nitem);
      double fill = 0.0;
      for (int32_t g = 1; g <= ngreedy; ++g)
        if (!scan(nitem, pattern, fill, bar_length)) break;  // the later steps would place nothing
      for (;;) {
        const float r = generator.next();
        const auto k = static_cast<int32_t>(std::floor(static_cast<double>(r) * nrest + 1.0));
        int32_t j = 0;
        int32_t sum = 0;
        while (sum < k) {
          ++j;
          if (j > nitem)
            automation::raise_subscript_out_of_range("Subscript out of range: the roulette ran past item kind " +
                                                     std::to_string(nitem) + " (total demand 0)");
          sum += mrest.at(j);
        }
        if (!scan(j, pattern, fill, bar_length)) break;
      }
      if (fill > best_fill) {
        best_fill = fill;
        bestpattern = pattern;
      }
    }
    return bar_length - best_fill;
  }

  void check_items() {
    for (int32_t i = 1; i <= nitem; ++i) {
      const int32_t wanted = inputs.mitem.at(i);
      if (wanted < 0) automation::raise_invalid_argument("negative quantity of item kind " + std::to_string(i));
      if (wanted > 0 && !(std::isfinite(inputs.litem.at(i)) && inputs.litem.at(i) > 0.0))
        automation::raise_invalid_argument("bad length of item kind " + std::to_string(i));
      nrest = automation::checked_add(nrest, wanted);
    }
    if (ntrial >= 1 && !(inputs.litem.contains(0) && inputs.litem.contains(nitem) && inputs.mitem.contains(0)))
      automation::raise_subscript_out_of_range("item arrays without all of the elements 0.." + std::to_string(nitem));
  }

  // The bar's fill sums stay finite when the bar plus its longest open piece does.
  double longest_open_piece() {
    double longest = 0.0;
    for (int32_t i = 1; i <= nitem; ++i)
      if (mrest.at(i) > 0 && inputs.litem.at(i) > longest) longest = inputs.litem.at(i);
    return longest;
  }

  bool bar_is_empty() {
    for (int32_t i = 1; i <= nitem; ++i)
      if (bestpattern.at(i) != 0) return false;
    return true;
  }

  [[noreturn]] void raise_never_finished(const StockKind& stock) {
    int32_t too_long = 0;
    bool some_fit = false;
    for (int32_t i = nitem; i >= 1; --i) {
      if (mrest.at(i) <= 0) continue;
      if (inputs.litem.at(i) > stock.length)
        too_long = i;
      else
        some_fit = true;
    }
    if (!some_fit) too_long = 0;
    raise_unfinishable(stock, ntrial, too_long, too_long == 0 ? 0.0 : inputs.litem.at(too_long));
  }

  double build(Plan& plan) {
    if (nitem < 0) automation::raise_subscript_out_of_range();
    check_items();
    mrest = inputs.mitem;
    std::vector<int32_t> columns;  // the item kinds with demand
    for (int32_t i = 1; i <= nitem; ++i)
      if (inputs.mitem.at(i) > 0) columns.push_back(i);
    plan.clear(nitem, columns);
    StockPosition position;
    double total_waste = 0.0;
    for (;;) {
      const StockKind stock = read_stock_kind(inputs, position.kind);
      if (nrest > 0) check_fill_range(stock, longest_open_piece());
      const double waste = fillbar(stock.length);
      const auto row = plan.append_bar();
      for (std::size_t column = 0; column < columns.size(); ++column) row[column] = bestpattern.at(columns[column]);
      position.bar_used(stock);
      bool done = true;
      for (int32_t i = 1; i <= nitem; ++i) {
        mrest.at(i) -= bestpattern.at(i);
        nrest -= bestpattern.at(i);
        if (mrest.at(i) > 0) done = false;
      }
      if (done) break;
      if (bar_is_empty() && stock.unlimited()) raise_never_finished(stock);
      total_waste = automation::check_finite(total_waste + waste);
    }
    return total_waste;
  }
};

}  // namespace

double ReferencePlanBuilder::build(const ProblemInputs& inputs, int32_t ngreedy, int32_t ntrial,
                                   RandomGenerator& generator, Plan& plan) {
  ReferencePlan reference{inputs, inputs.nitem, ngreedy, ntrial, generator, {}, 0, {}};
  return reference.build(plan);
}

}  // namespace krelvo
