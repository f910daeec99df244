#include "plan_check.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace fuzz {
namespace {

using automation::SafeArray;
using automation::Variant;

// Ends the check at the first fault found, from however deep it is found.
struct PlanFault {
  std::string what;
};

[[noreturn]] void fail(std::string what) { throw PlanFault{std::move(what)}; }

void require(bool condition, const char* what) {
  if (!condition) fail(what);
}

const SafeArray<int32_t>& pattern_of(const SafeArray<Variant>& plan, int32_t bar, int32_t nitem) {
  const auto* pattern = plan.at(bar).get_if<SafeArray<int32_t>>();
  require(pattern != nullptr && pattern->dimensions() == 1, "a bar of rezanje holds no one-dimensional Long array");
  require(pattern->lbound() == 0 && pattern->ubound() == nitem, "a bar's pattern does not have the bounds 0..nitem");
  require(pattern->at(0) == 0, "element 0 of a bar's pattern is not 0");
  return *pattern;
}

// The stock kinds of the bars in consumption order: msource(s) bars of kind
// s, a kind with a quantity of 0 or less supplying every later bar.
class StockOrder {
 public:
  explicit StockOrder(const Problem& problem) : problem_(problem) {}
  double next_bar_length() {
    require(problem_.msource.contains(kind_) && problem_.lsource.contains(kind_),
            "a bar stands beyond the stock kinds the host gave");
    const int32_t quantity = problem_.msource.at(kind_);
    if (quantity > 0 && used_ == quantity) {
      ++kind_;
      used_ = 0;
      return next_bar_length();
    }
    ++used_;
    return problem_.lsource.at(kind_);
  }

 private:
  const Problem& problem_;
  int32_t kind_ = 1;
  int64_t used_ = 0;
};

void check_plan(const Problem& problem, const Variant& rezanje, int32_t brsipka, double otpad) {
  const auto* plan = rezanje.get_if<SafeArray<Variant>>();
  require(plan != nullptr && plan->dimensions() == 1, "rezanje holds no one-dimensional array of variants");
  require(plan->lbound() == 0 && plan->ubound() == brsipka, "rezanje does not have the bounds 0..brsipka");
  require(brsipka >= 1, "an adopted plan without bars");
  require(plan->at(0).is_empty(), "element 0 of rezanje is not empty");

  const int32_t nitem = problem.nitem;
  std::vector<int64_t> placed(static_cast<std::size_t>(nitem) + 1, 0);
  StockOrder stock(problem);
  long double expected_waste = 0;
  long double scale = 0;
  bool last_bar_has_pieces = false;
  for (int32_t bar = 1; bar <= brsipka; ++bar) {
    const SafeArray<int32_t>& pattern = pattern_of(*plan, bar, nitem);
    const double length = stock.next_bar_length();
    long double fill = 0;
    int64_t pieces = 0;
    for (int32_t kind = 1; kind <= nitem; ++kind) {
      const int32_t count = pattern.at(kind);
      require(count >= 0, "a negative count of pieces on a bar");
      if (count == 0) continue;
      placed[static_cast<std::size_t>(kind)] += count;
      pieces += count;
      fill += static_cast<long double>(count) * problem.litem.at(kind);
    }
    // The optimizer sums the same pieces in its own order.
    const long double slack = 1e-12L * (std::fabs(static_cast<long double>(length)) + fill) * (pieces + 1);
    // A bar that receives no piece may be of any length, even a negative one.
    if (pieces > 0 && fill > length + slack)
      fail("bar " + std::to_string(bar) + " holds " + std::to_string(static_cast<double>(fill)) +
           ", more than its length " + std::to_string(length));
    if (bar < brsipka) expected_waste += length - fill;
    scale += std::fabs(static_cast<long double>(length)) + fill;
    last_bar_has_pieces = pieces > 0;
  }

  int64_t demand = 0;
  for (int32_t kind = 1; kind <= nitem; ++kind) {
    const int32_t wanted = problem.mitem.at(kind);
    demand += wanted;
    if (placed[static_cast<std::size_t>(kind)] != wanted)
      fail("item kind " + std::to_string(kind) + " is not placed exactly as often as asked");
  }
  require(demand == 0 || last_bar_has_pieces, "the last bar of a plan receives no piece");
  require(std::fabs(otpad - expected_waste) <= 1e-9L * scale + 1e-300L,
          "otpad is not the leftover of every bar but the last");
}

}  // namespace

std::string plan_fault(const Problem& problem, const Variant& rezanje, int32_t brsipka, double otpad) {
  try {
    check_plan(problem, rezanje, brsipka, otpad);
  } catch (const PlanFault& fault) {
    return fault.what;
  }
  return {};
}

}  // namespace fuzz
