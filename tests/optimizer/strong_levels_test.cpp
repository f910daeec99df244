// The schedules of jaka and vrlojaka: tuning, selection and the final phase,
// checked against the table of final phases per chosen ntrial. A counting
// construction stands in for plan building, so a whole schedule takes
// milliseconds; its waste can depend on the setting to steer the selection.
#include <gtest/gtest.h>

#include <functional>

#include "light_levels.hpp"
#include "problem_fixtures.hpp"
#include "strong_levels.hpp"

namespace krelvo::testing {
namespace {

class CountingConstruction final : public PlanConstruction {
 public:
  std::function<double(int32_t ngreedy, int32_t ntrial)> waste = [](int32_t, int32_t) { return 1.0; };
  double build(const ProblemInputs&, int32_t ngreedy, int32_t ntrial, automation::RandomGenerator&,
               Plan& plan) override {
    plan.clear(1, std::vector<int32_t>{1});
    plan.append_bar();
    return waste(ngreedy, ntrial);
  }
};

struct Report {
  int16_t progress;
  uint64_t plans;  // plans built when the report came
  friend bool operator==(const Report&, const Report&) = default;
};

struct ScheduleRun {
  OptimizerState state;
  CountingConstruction construction;
  std::vector<Report> reports;
  std::function<void()> on_report = [] {};
  SearchRun run{state, construction, [this] {
                  reports.push_back({state.progress, state.plans_built});
                  on_report();
                }};
};

struct FinalPhase {
  int32_t ntrial;
  int32_t nfinal, nstep, checkpoints, last_value;
};

void expect_final_phase(const StrongLevel& level, const FinalPhase& row) {
  SCOPED_TRACE("ntrial " + std::to_string(row.ntrial));
  ScheduleRun run;
  run.state.ngreedy = 1;
  run.state.ntrial = row.ntrial;
  run_final_phase(run.run, level);
  EXPECT_EQ(run.state.plans_built, static_cast<uint64_t>(row.nfinal));
  ASSERT_EQ(run.reports.size(), static_cast<std::size_t>(row.checkpoints));
  for (std::size_t i = 0; i < run.reports.size(); ++i) {
    // A report after every nstep-th plan, k / nstep + O.
    EXPECT_EQ(run.reports[i].plans, (i + 1) * static_cast<uint64_t>(row.nstep));
    EXPECT_EQ(run.reports[i].progress, static_cast<int16_t>(i + 1 + static_cast<std::size_t>(level.final_offset)));
  }
  EXPECT_EQ(run.reports.back().progress, row.last_value);
}

TEST(StrongLevels, FinalPhaseOfJakaFollowsTheTable) {
  for (const FinalPhase& row :
       {FinalPhase{20, 10000, 125, 80, 100}, FinalPhase{40, 5000, 62, 80, 100}, FinalPhase{60, 3333, 42, 79, 99},
        FinalPhase{80, 2500, 31, 80, 100}, FinalPhase{100, 2000, 25, 80, 100}})
    expect_final_phase(kJaka, row);
}

TEST(StrongLevels, FinalPhaseOfVrlojakaFollowsTheTable) {
  for (const FinalPhase& row :
       {FinalPhase{20, 50000, 556, 89, 99}, FinalPhase{40, 25000, 278, 89, 99}, FinalPhase{60, 16667, 185, 90, 100},
        FinalPhase{80, 12500, 139, 89, 99}, FinalPhase{100, 10000, 111, 90, 100}})
    expect_final_phase(kVrlojaka, row);
}

TEST(StrongLevels, SelectionTakesTheLeastSumAndOnTiesTheLowerSetting) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::pair<int, int>, double>> cells;  // (row, column) -> sum; others 10
    Setting chosen;
  };
  const Case cases[] = {
      {"all equal", {}, {0, 20}},
      {"one least", {{{2, 3}, 4.0}}, {1, 60}},
      {"tie across ngreedy", {{{3, 1}, 4.0}, {{2, 5}, 4.0}}, {1, 100}},
      {"tie within ngreedy", {{{2, 4}, 4.0}, {{2, 2}, 4.0}}, {1, 40}},
      {"last cell least", {{{3, 5}, 9.5}}, {2, 100}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TuneTable table{};
    for (std::size_t row = 1; row <= 3; ++row)
      for (std::size_t column = 1; column <= 5; ++column) table[row][column] = 10.0;
    for (const auto& [cell, sum] : test.cells)
      table[static_cast<std::size_t>(cell.first)][static_cast<std::size_t>(cell.second)] = sum;
    EXPECT_EQ(select_setting(table), test.chosen);
  }
}

TEST(StrongLevels, EqualWastesChooseNgreedy0Ntrial20) {
  struct Case {
    StrongLevel level;
    uint64_t plans;
    std::size_t reports;
  };
  for (const Case& test : {Case{kJaka, 14501, 126}, Case{kVrlojaka, 54501, 135}}) {
    ScheduleRun run;
    run_strong_level(run.run, test.level);
    EXPECT_EQ(run.state.plans_built, test.plans);
    EXPECT_EQ(run.reports.size(), test.reports);
    EXPECT_EQ(run.state.ngreedy, 0);
    EXPECT_EQ(run.state.ntrial, 20);
  }
}

TEST(StrongLevels, TuningReportsRiseToTheProgressSpan) {
  ScheduleRun jaka;
  run_strong_level(jaka.run, kJaka);
  std::vector<int16_t> values;
  for (const Report& report : jaka.reports) values.push_back(report.progress);
  EXPECT_EQ(std::vector<int16_t>(values.begin(), values.begin() + 12),
            (std::vector<int16_t>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5}));
  EXPECT_EQ(std::vector<int16_t>(values.begin() + 42, values.begin() + 47), (std::vector<int16_t>{19, 19, 20, 20, 21}));
  EXPECT_EQ(jaka.reports[45].plans, 4501u);  // first plan and 45 blocks of 100

  ScheduleRun vrlojaka;
  run_strong_level(vrlojaka.run, kVrlojaka);
  EXPECT_EQ(vrlojaka.reports[1].progress, 0);
  EXPECT_EQ(vrlojaka.reports[45].progress, 10);
  EXPECT_EQ(vrlojaka.reports[46].progress, 11);
  for (std::size_t i = 1; i < vrlojaka.reports.size(); ++i)
    EXPECT_LE(vrlojaka.reports[i - 1].progress, vrlojaka.reports[i].progress);
}

TEST(StrongLevels, TheChosenSettingRunsTheFinalPhase) {
  // Only the setting (1, 60) gives a small waste, so it wins the tuning.
  ScheduleRun run;
  run.construction.waste = [](int32_t ngreedy, int32_t ntrial) { return ngreedy == 1 && ntrial == 60 ? 1.0 : 5.0; };
  run_strong_level(run.run, kJaka);
  EXPECT_EQ(run.state.ngreedy, 1);
  EXPECT_EQ(run.state.ntrial, 60);
  EXPECT_EQ(run.state.plans_built, 7834u);
  ASSERT_EQ(run.reports.size(), 1u + 45u + 79u);
  EXPECT_EQ(run.reports[46], (Report{21, 4501u + 42u}));
  EXPECT_EQ(run.reports[47], (Report{22, 4501u + 84u}));
  EXPECT_EQ(run.reports.back(), (Report{99, 4501u + 3318u}));
  EXPECT_EQ(run.state.otpad, 1.0);
}

TEST(StrongLevels, PrekidStopsAfterTheFirstBlockOrAtAFinalCheckpoint) {
  for (const StrongLevel& level : {kJaka, kVrlojaka}) {
    ScheduleRun run;
    run.state.prekid = automation::kTrue;
    run_strong_level(run.run, level);
    EXPECT_EQ(run.state.plans_built, 101u);
    EXPECT_EQ(run.reports, (std::vector<Report>{{0, 0}, {0, 101}}));
    EXPECT_EQ(run.state.ngreedy, 0);
    EXPECT_EQ(run.state.ntrial, 100);
  }
  ScheduleRun stopped;
  stopped.on_report = [&] {
    if (stopped.state.progress == 30) stopped.state.prekid = automation::kTrue;
  };
  run_strong_level(stopped.run, kJaka);
  EXPECT_EQ(stopped.reports.back(), (Report{30, 4501u + 10u * 125u}));
  EXPECT_EQ(stopped.state.ngreedy, 0);  // the chosen setting stays
  EXPECT_EQ(stopped.state.ntrial, 20);
}

TEST(StrongLevels, PokreniRunsJakaOnTheObject) {
  // Every plan of this problem ties, so the whole schedule is known.
  const auto optimizer = optimizer_for(all_plans_tie(), jaka);
  int reports = 0;
  optimizer->connect_ProgressUpdate([&] { ++reports; });
  optimizer->pokreni();
  EXPECT_EQ(reports, 126);
  EXPECT_EQ(state_of(*optimizer).plans_built, 14501u);
  EXPECT_EQ(optimizer->get_otpad(), 0.0);
  EXPECT_EQ(optimizer->get_brsipka(), 2);
  EXPECT_EQ(optimizer->get_progress(), 100);
}

}  // namespace
}  // namespace krelvo::testing
