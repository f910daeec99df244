// buildplan, fast: takes stock bars in consumption order and has the bar
// filler fill each against the open demand until all of it is met.
#pragma once

#include <cstdint>
#include <vector>

#include "automation/random_generator.hpp"
#include "bar_filler.hpp"
#include "item_kinds.hpp"
#include "plan.hpp"
#include "plan_construction.hpp"
#include "stock_bar.hpp"

namespace krelvo {

class PlanBuilder final : public PlanConstruction {
 public:
  // Builds one plan into `plan` and returns its waste: the leftover length of
  // every bar except the last one. Item data is re-read only when the inputs'
  // version changed; buffers grow only when a plan needs more room than before.
  double build(const ProblemInputs& inputs, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator& generator,
               Plan& plan) override;

 private:
  void prepare(const ProblemInputs& inputs);
  void require_room_for_demand(const ProblemInputs& inputs) const;
  double longest_open_length() const;
  [[noreturn]] void raise_unfinishable_bar(const StockKind& stock, int32_t ntrial, bool some_piece_fits) const;

  bool prepared_ = false;
  uint64_t prepared_version_ = 0;
  ItemKinds kinds_;
  BarFiller filler_;
  std::vector<int32_t> open_;  // open demand per kind of kinds_
};

}  // namespace krelvo
