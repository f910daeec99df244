// clsOptimizacija as a host sees it: fields, array inputs, `rezanje`, the run
// protocol of pokreni and test, and the failures a run can end with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>

#include "automation/error.hpp"
#include "plan_builder.hpp"
#include "problem_fixtures.hpp"
#include "raises_automation_error.hpp"
#include "variant_printer.hpp"

namespace krelvo::testing {
namespace {

using automation::VarType;
using test_support::RaisesAutomationError;
using ::testing::HasSubstr;

// Every plan fills its first bar to exactly 6 in one of several ways and puts
// the rest on the last bar: all plans tie at waste 0 with differing patterns.
Problem ties_with_different_patterns() { return {{1, 2}, {4, 3}, {6}, {0}}; }
Problem three_bars() { return {{6}, {5}, {10, 20}, {1, 0}}; }
Problem medium_sized() { return {{2.5, 3.1, 4.4, 5.3, 7.7}, {7, 5, 6, 4, 3}, {12.0, 15.5}, {3, 0}}; }

// Records the progress value at every ProgressUpdate.
struct Reports {
  explicit Reports(clsOptimizacija& optimizer)
      : cookie(optimizer.connect_ProgressUpdate([this, &optimizer] { values.push_back(optimizer.get_progress()); })) {}
  std::vector<int16_t> values;
  uint32_t cookie;
};

TEST(ClsOptimizacija, ANewObjectHoldsItsInitialValues) {
  const auto optimizer = clsOptimizacija::create();
  EXPECT_EQ(optimizer->get_razina(), 0);
  EXPECT_EQ(optimizer->get_randomiziraj(), automation::kFalse);
  EXPECT_EQ(optimizer->get_nitem(), 0);
  EXPECT_EQ(optimizer->get_nsource(), 0);
  EXPECT_EQ(optimizer->get_prekid(), automation::kFalse);
  EXPECT_EQ(optimizer->get_brsipka(), 0);
  EXPECT_EQ(optimizer->get_otpad(), 0.0);
  EXPECT_EQ(optimizer->get_progress(), 0);
  const Variant rezanje = optimizer->get_rezanje();
  EXPECT_EQ(rezanje.type(), automation::array_of(VarType::kVariant));
  EXPECT_FALSE(rezanje.get<SafeArray<Variant>>().has_array());
}

TEST(ClsOptimizacija, FieldsStoreAnyValueUnchanged) {
  const auto optimizer = clsOptimizacija::create();
  optimizer->put_razina(7);
  optimizer->put_randomiziraj(VariantBool(int16_t{1}));
  optimizer->put_nitem(-3);
  optimizer->put_nsource(99);
  optimizer->put_prekid(VariantBool(int16_t{5}));
  optimizer->put_brsipka(-1);
  optimizer->put_otpad(-2.5);
  optimizer->put_progress(-7);
  EXPECT_EQ(optimizer->get_razina(), 7);
  EXPECT_EQ(optimizer->get_randomiziraj().value, 1);
  EXPECT_EQ(optimizer->get_nitem(), -3);
  EXPECT_EQ(optimizer->get_nsource(), 99);
  EXPECT_EQ(optimizer->get_prekid().value, 5);
  EXPECT_EQ(optimizer->get_brsipka(), -1);
  EXPECT_EQ(optimizer->get_otpad(), -2.5);
  EXPECT_EQ(optimizer->get_progress(), -7);
}

TEST(ClsOptimizacija, ALevelOutsideOneToFourRunsOnlyTheSeedingStep) {
  const auto optimizer = optimizer_for(medium_sized(), brza);
  optimizer->pokreni();
  const double otpad = optimizer->get_otpad();
  const Variant rezanje = optimizer->get_rezanje();
  for (const int32_t razina : {0, 5, -1}) {
    optimizer->put_razina(razina);
    Reports reports(*optimizer);
    const uint64_t plans = state_of(*optimizer).plans_built;
    optimizer->pokreni();
    EXPECT_TRUE(reports.values.empty());
    EXPECT_EQ(state_of(*optimizer).plans_built, plans);
    EXPECT_EQ(optimizer->get_otpad(), otpad);
    EXPECT_EQ(optimizer->get_rezanje(), rezanje);
  }
}

TEST(ClsOptimizacija, LightLevelsReportTheirValuesAndLeaveTheirSettings) {
  {
    const auto optimizer = optimizer_for(medium_sized(), brza);
    Reports reports(*optimizer);
    optimizer->pokreni();
    EXPECT_EQ(reports.values, (std::vector<int16_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(state_of(*optimizer).plans_built, 101u);
    EXPECT_EQ(state_of(*optimizer).ngreedy, 0);
    EXPECT_EQ(state_of(*optimizer).ntrial, 100);
  }
  {
    const auto optimizer = optimizer_for(medium_sized(), standardna);
    Reports reports(*optimizer);
    optimizer->pokreni();
    ASSERT_EQ(reports.values.size(), 76u);
    EXPECT_EQ(reports.values[0], 0);
    for (std::size_t c = 1; c <= 75; ++c)  // four thirds of c, never an exact half
      EXPECT_EQ(reports.values[c], std::lround(static_cast<double>(c) * 4.0 / 3.0)) << c;
    EXPECT_EQ(std::vector<int16_t>(reports.values.begin() + 1, reports.values.begin() + 4),
              (std::vector<int16_t>{1, 3, 4}));
    EXPECT_EQ(std::vector<int16_t>(reports.values.end() - 3, reports.values.end()),
              (std::vector<int16_t>{97, 99, 100}));
    EXPECT_EQ(state_of(*optimizer).plans_built, 1501u);
    EXPECT_EQ(state_of(*optimizer).ngreedy, 3);
    EXPECT_EQ(state_of(*optimizer).ntrial, 0);
  }
}

TEST(ClsOptimizacija, PrekidAlreadyTrueStopsAtTheFirstCheckpoint) {
  struct Case {
    int32_t razina;
    uint64_t plans;
    std::vector<int16_t> reports;
    int32_t ngreedy, ntrial;
  };
  for (const Case& run : {Case{brza, 11, {0, 10}, 0, 100}, Case{standardna, 21, {0, 1}, 0, 100}}) {
    const auto optimizer = optimizer_for(medium_sized(), run.razina);
    optimizer->put_prekid(automation::kTrue);
    Reports reports(*optimizer);
    optimizer->pokreni();
    EXPECT_EQ(reports.values, run.reports);
    EXPECT_EQ(state_of(*optimizer).plans_built, run.plans);
    EXPECT_EQ(state_of(*optimizer).ngreedy, run.ngreedy);
    EXPECT_EQ(state_of(*optimizer).ntrial, run.ntrial);
    EXPECT_GT(optimizer->get_brsipka(), 0);                 // the best so far stays
    EXPECT_EQ(optimizer->get_prekid(), automation::kTrue);  // never cleared by the object
  }
}

TEST(ClsOptimizacija, AHandlerStopsTheRunAndMayReadTheBestPlan) {
  const auto optimizer = optimizer_for(medium_sized(), brza);
  std::vector<int32_t> bars_seen;
  optimizer->connect_ProgressUpdate([&] {
    bars_seen.push_back(static_cast<int32_t>(bars_of(optimizer->get_rezanje()).size()));
    if (optimizer->get_progress() == 30) optimizer->put_prekid(automation::kTrue);
  });
  optimizer->pokreni();
  EXPECT_EQ(state_of(*optimizer).plans_built, 31u);
  ASSERT_EQ(bars_seen.size(), 4u);
  EXPECT_EQ(bars_seen[0], 0);  // before the first plan: no array yet
  EXPECT_EQ(bars_seen[3], optimizer->get_brsipka());
}

TEST(ClsOptimizacija, ALevelRaisedInAHandlerRunsAfterTheCurrentOne) {
  const auto optimizer = optimizer_for(medium_sized(), brza);
  Reports reports(*optimizer);
  optimizer->connect_ProgressUpdate([&] { optimizer->put_razina(standardna); });
  optimizer->pokreni();
  EXPECT_EQ(reports.values.size(), 11u + 76u);
  EXPECT_EQ(state_of(*optimizer).plans_built, 101u + 1501u);
}

TEST(ClsOptimizacija, APlanWithEqualWasteIsNotAdopted) {
  const auto optimizer = optimizer_for(ties_with_different_patterns());
  int32_t v = 0, k = 100, iter = 0;
  optimizer->test(v, k, iter);
  const Variant first_plan = optimizer->get_rezanje();
  iter = 300;
  optimizer->test(v, k, iter);
  EXPECT_EQ(optimizer->get_otpad(), 0.0);
  EXPECT_EQ(optimizer->get_rezanje(), first_plan);

  // The plans did differ: the same draws give several first-bar patterns.
  PlanBuilder builder;
  automation::RandomGenerator generator;
  generator.seed_fixed();
  Plan plan;
  std::set<std::vector<int32_t>> first_bars;
  for (int i = 0; i < 301; ++i) {
    EXPECT_EQ(builder.build(state_of(*optimizer).inputs, 0, 100, generator, plan), 0.0);
    first_bars.insert(bars_of(plan).front());
  }
  EXPECT_GT(first_bars.size(), 1u);
}

TEST(ClsOptimizacija, AWorseSecondRunStillReplacesTheResult) {
  const auto optimizer = optimizer_for(medium_sized(), standardna);
  optimizer->pokreni();
  const double good = optimizer->get_otpad();
  const Variant good_plan = optimizer->get_rezanje();
  int32_t v = 0, k = 1, iter = 0;  // one plan, one trial per bar
  optimizer->test(v, k, iter);
  EXPECT_GT(optimizer->get_otpad(), good);
  EXPECT_NE(optimizer->get_rezanje(), good_plan);
  EXPECT_EQ(static_cast<int32_t>(bars_of(optimizer->get_rezanje()).size()), optimizer->get_brsipka());
}

TEST(ClsOptimizacija, TheFixedSeedRepeatsAcrossObjectsAndTheClockSeedVaries) {
  const auto first = optimizer_for(medium_sized(), standardna);
  const auto second = optimizer_for(medium_sized(), standardna);
  first->pokreni();
  second->pokreni();
  EXPECT_EQ(first->get_otpad(), second->get_otpad());
  EXPECT_EQ(first->get_brsipka(), second->get_brsipka());
  EXPECT_EQ(first->get_rezanje(), second->get_rezanje());

  std::set<automation::RandomGenerator::State> states;
  for (int run = 0; run < 3; ++run) {
    first->put_randomiziraj(automation::kTrue);
    int32_t v = 0, k = 5, iter = 0;
    first->test(v, k, iter);
    states.insert(state_of(*first).generator.state());
  }
  EXPECT_EQ(states.size(), 3u);
}

TEST(ClsOptimizacija, TestBuildsOnePlanPlusItsSixteenBitCount) {
  struct Case {
    int32_t iter;
    uint64_t plans;
    int32_t error;
  };
  const Case cases[] = {{0, 1, 0},         {-5, 1, 0},    {3, 4, 0},      {32766, 32767, 0},
                        {32767, 32768, 6}, {40000, 1, 6}, {-40000, 1, 6}, {-32768, 1, 0}};
  for (const Case& run : cases) {
    SCOPED_TRACE(run.iter);
    const auto optimizer = optimizer_for({{3}, {5}, {10}, {0}});
    optimizer->put_prekid(automation::kTrue);  // test never looks at it
    optimizer->put_progress(42);
    Reports reports(*optimizer);
    int32_t v = 1, k = 1, iter = run.iter;
    const auto call = [&] { optimizer->test(v, k, iter); };
    if (run.error == 0)
      call();
    else
      EXPECT_THAT(call, RaisesAutomationError(run.error));
    EXPECT_EQ(state_of(*optimizer).plans_built, run.plans);
    EXPECT_EQ(iter, run.iter);
    EXPECT_EQ(optimizer->get_brsipka(), 2);  // the plans built stay offered
    EXPECT_TRUE(reports.values.empty());
    EXPECT_EQ(optimizer->get_progress(), 42);
    EXPECT_EQ(state_of(*optimizer).ngreedy, 1);
    EXPECT_EQ(state_of(*optimizer).ntrial, 1);
  }
}

TEST(ClsOptimizacija, RezanjeHasOneCountArrayPerBar) {
  const auto optimizer = optimizer_for(three_bars(), brza);
  optimizer->pokreni();
  const auto plan = optimizer->get_rezanje().get<SafeArray<Variant>>();
  EXPECT_EQ(plan.lbound(), 0);
  ASSERT_EQ(plan.ubound(), 3);
  EXPECT_TRUE(plan.at(0).is_empty());
  for (int32_t b = 1; b <= 3; ++b) {
    const auto& counts = plan.at(b).get<SafeArray<int32_t>>();
    EXPECT_EQ(counts.lbound(), 0);
    EXPECT_EQ(counts.ubound(), 1);
    EXPECT_EQ(counts.at(0), 0);
  }
  EXPECT_EQ(optimizer->get_brsipka(), 3);
  EXPECT_EQ(optimizer->get_otpad(), 6.0);
}

TEST(ClsOptimizacija, ArraysAreCopiedBothWays) {
  const auto optimizer = optimizer_for({{3}, {5}, {10}, {0}}, brza);
  SafeArray<double> lengths(0, {0.0, 3.0});
  optimizer->put_litem(lengths);
  lengths.at(1) = 4.0;  // the host's later change does not reach the object
  optimizer->pokreni();
  EXPECT_EQ(optimizer->get_otpad(), 1.0);
  EXPECT_EQ(lengths.at(1), 4.0);

  Variant copy = optimizer->get_rezanje();
  copy.get<SafeArray<Variant>>().at(1).get<SafeArray<int32_t>>().at(1) = 99;
  EXPECT_EQ(bars_of(optimizer->get_rezanje()), (std::vector<std::vector<int32_t>>{{0, 3}, {0, 2}}));
}

TEST(ClsOptimizacija, AFailedRunKeepsThePreviousResultAndTheObjectStaysUsable) {
  const auto optimizer = optimizer_for(medium_sized(), brza);
  optimizer->pokreni();
  const double otpad = optimizer->get_otpad();
  const int32_t brsipka = optimizer->get_brsipka();
  const Variant rezanje = optimizer->get_rezanje();
  struct Breakage {
    const char* name;
    std::function<void(clsOptimizacija&)> apply;
    int32_t error;
  };
  const Breakage breakages[] = {
      {"item arrays from 1",
       [](clsOptimizacija& o) {
         o.put_litem(SafeArray<double>(1, {2.5, 3.1, 4.4, 5.3, 7.7}));
         o.put_mitem(SafeArray<int32_t>(1, {7, 5, 6, 4, 3}));
       },
       9},
      {"stock exhausted",
       [](clsOptimizacija& o) {
         o.put_msource(SafeArray<int32_t>(0, {0, 3, 1}));
       },
       9},
      {"zero demand",
       [](clsOptimizacija& o) {
         o.put_mitem(SafeArray<int32_t>(0, {0, 0, 0, 0, 0, 0}));
       },
       9},
      {"more than one dimension",
       [](clsOptimizacija& o) {
         o.put_lsource(SafeArray<double>::with_bounds({{0, 3}, {0, 2}}));
       },
       9},
      {"negative quantity",
       [](clsOptimizacija& o) {
         o.put_mitem(SafeArray<int32_t>(0, {0, 7, -5, 6, 4, 3}));
       },
       5},
  };
  for (const Breakage& breakage : breakages) {
    SCOPED_TRACE(breakage.name);
    const auto broken = optimizer_for(medium_sized(), brza);
    broken->pokreni();
    breakage.apply(*broken);
    EXPECT_THAT([&] { broken->pokreni(); }, RaisesAutomationError(breakage.error));
    EXPECT_EQ(broken->get_otpad(), otpad);
    EXPECT_EQ(broken->get_brsipka(), brsipka);
    EXPECT_EQ(broken->get_rezanje(), rezanje);
  }
  // The same object runs again once its input is mended.
  optimizer->put_msource(SafeArray<int32_t>(0, {0, 3, 1}));
  EXPECT_THAT([&] { optimizer->pokreni(); }, RaisesAutomationError(9));
  optimizer->put_msource(SafeArray<int32_t>(0, {0, 3, 0}));
  optimizer->pokreni();
  EXPECT_EQ(optimizer->get_otpad(), otpad);
}

TEST(ClsOptimizacija, ErrorsNameTheLibraryAndTheBadItemKind) {
  const auto optimizer = optimizer_for({{3, 4}, {1, -2}, {10}, {0}}, brza);
  EXPECT_THAT([&] { optimizer->pokreni(); },
              RaisesAutomationError(automation::kErrInvalidProcedureCall, HasSubstr("item kind 2"), "Krelvo"));
}

TEST(ClsOptimizacija, ANestedRunIsRefusedAndTheRunningOneGoesOn) {
  const auto optimizer = optimizer_for(medium_sized(), brza);
  int reports = 0;
  optimizer->connect_ProgressUpdate([&] {
    ++reports;
    EXPECT_THAT([&] { optimizer->pokreni(); },
                RaisesAutomationError(automation::kErrInvalidProcedureCall, HasSubstr("in progress")));
    int32_t v = 0, k = 10, iter = 0;
    EXPECT_THAT([&] { optimizer->test(v, k, iter); }, RaisesAutomationError(automation::kErrInvalidProcedureCall));
  });
  optimizer->pokreni();
  EXPECT_EQ(reports, 11);
  EXPECT_EQ(state_of(*optimizer).plans_built, 101u);
  EXPECT_EQ(optimizer->get_progress(), 100);
  optimizer->pokreni();  // and a later run is accepted
  EXPECT_EQ(state_of(*optimizer).plans_built, 202u);
}

TEST(ClsOptimizacija, ARunKeepsItsObjectAliveWhenAHandlerDropsTheLastReference) {
  auto optimizer = optimizer_for(medium_sized(), brza);
  const std::weak_ptr<clsOptimizacija> watcher = optimizer;
  clsOptimizacija* raw = optimizer.get();
  int reports = 0;
  raw->connect_ProgressUpdate([&] {
    ++reports;
    optimizer.reset();
    EXPECT_FALSE(watcher.expired());
  });
  raw->pokreni();
  EXPECT_EQ(reports, 11);
  EXPECT_TRUE(watcher.expired());
}

}  // namespace
}  // namespace krelvo::testing
