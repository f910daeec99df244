#include "optimizer_job.hpp"

#include <krelvo.hpp>

#include "automation/checked_math.hpp"

namespace krelvo::cli {
namespace {

// The optimizer's arrays start at element 0, which is no kind.
template <class T>
SafeArray<T> from_element_one(const std::vector<T>& values) {
  std::vector<T> elements;
  elements.reserve(values.size() + 1);
  elements.push_back(T{});
  elements.insert(elements.end(), values.begin(), values.end());
  return SafeArray<T>(0, std::move(elements));
}

OptimizerPlan read_plan(const clsOptimizacija& optimizer, int32_t kinds) {
  OptimizerPlan plan;
  plan.otpad = optimizer.get_otpad();
  const Variant rezanje = optimizer.get_rezanje();
  const auto& bars = rezanje.get<SafeArray<Variant>>();
  if (!bars.has_array()) automation::raise_invalid_argument("the optimizer ended without a plan");
  for (int32_t bar = 1; bar <= bars.ubound(); ++bar) {
    const auto& counts = bars[bar].get<SafeArray<int32_t>>();
    std::vector<int32_t>& pattern = plan.patterns.emplace_back();
    pattern.reserve(static_cast<std::size_t>(kinds));
    for (int32_t kind = 1; kind <= kinds; ++kind) pattern.push_back(counts[kind]);
  }
  return plan;
}

}  // namespace

OptimizerPlan run_optimizer(const OptimizerInput& input, const JobSettings& settings, JobContext& context) {
  const auto kinds = automation::checked_narrow<int32_t>(input.item_lengths.size());
  std::shared_ptr<clsOptimizacija> optimizer = clsOptimizacija::create();
  optimizer->put_nitem(kinds);
  optimizer->put_nsource(automation::checked_narrow<int32_t>(input.stock_lengths.size()));
  optimizer->put_litem(from_element_one(input.item_lengths));
  optimizer->put_mitem(from_element_one(input.item_quantities));
  optimizer->put_lsource(from_element_one(input.stock_lengths));
  optimizer->put_msource(from_element_one(input.stock_quantities));
  optimizer->put_razina(settings.level);
  optimizer->put_randomiziraj(VariantBool::from(settings.clock_seed));
  optimizer->put_prekid(automation::kFalse);

  // A plain pointer: the handler lives in the object and must not own it.
  clsOptimizacija* const object = optimizer.get();
  optimizer->connect_ProgressUpdate([object, &context] {
    const int32_t bars = object->get_brsipka();
    context.report({object->get_progress(), bars > 0, object->get_otpad(), bars});
    if (context.stop_requested()) object->put_prekid(automation::kTrue);
  });
  optimizer->pokreni();
  return read_plan(*optimizer, kinds);
}

}  // namespace krelvo::cli
