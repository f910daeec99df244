#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "automation/error.hpp"
#include "raises_automation_error.hpp"
#include "run.hpp"

namespace krelvo::cli {
namespace {

OptimizerPlan plan_with_waste(double otpad, int bars) {
  return {otpad, std::vector<std::vector<int32_t>>(static_cast<std::size_t>(bars), std::vector<int32_t>{1})};
}

TEST(RunJobs, KeepsLeastWasteAndTheLowestJobOnATie) {
  const std::atomic<bool> stop{false};
  const std::vector<double> waste = {9.0, 4.0, 7.0, 4.0};
  const RunOutcome outcome = run_jobs(
      4, [&](int job, JobContext&) { return plan_with_waste(waste[static_cast<std::size_t>(job - 1)], job); }, stop,
      [](const ProgressBoard&) {});
  EXPECT_EQ(outcome.job_number, 2);
  EXPECT_EQ(outcome.plan.otpad, 4.0);
  EXPECT_EQ(outcome.plan.patterns.size(), 2u);
  EXPECT_FALSE(outcome.interrupted);
  EXPECT_TRUE(outcome.failed_jobs.empty());
}

TEST(RunJobs, FailedJobsArePassedOverWhileOneSucceeds) {
  const std::atomic<bool> stop{false};
  const RunOutcome outcome = run_jobs(
      3,
      [](int job, JobContext&) {
        if (job != 2) automation::raise_subscript_out_of_range();
        return plan_with_waste(5.0, 1);
      },
      stop, [](const ProgressBoard&) {});
  EXPECT_EQ(outcome.job_number, 2);
  ASSERT_EQ(outcome.failed_jobs.size(), 2u);
  EXPECT_EQ(outcome.failed_jobs[0].first, 1);
  EXPECT_EQ(outcome.failed_jobs[1].second.number(), automation::kErrSubscriptOutOfRange);
}

TEST(RunJobs, WhenAllFailTheFirstJobsErrorIsRaised) {
  const std::atomic<bool> stop{false};
  EXPECT_THAT(
      [&] {
        run_jobs(
            2, [](int job, JobContext&) -> OptimizerPlan { automation::raise_error(100 + job, "job failed"); }, stop,
            [](const ProgressBoard&) {});
      },
      test_support::RaisesAutomationError(101, "job failed"));
}

TEST(RunJobs, StopReachesEveryJobAndMarksTheOutcome) {
  std::atomic<bool> stop{false};
  std::atomic<int> ticks{0};
  std::atomic<int> jobs_stopped{0};
  double best_shown = 1e300;
  const RunOutcome outcome = run_jobs(
      3,
      [&](int job, JobContext& context) {
        // A job that works until told to stop, reporting as it goes.
        int16_t percent = 0;
        while (!context.stop_requested()) {
          context.report({percent, true, 10.0 * job, job});
          percent = static_cast<int16_t>(std::min(percent + 1, 99));
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ++jobs_stopped;
        return plan_with_waste(10.0 * job, job);
      },
      stop,
      [&](const ProgressBoard& board) {
        const JobProgress overall = board.overall();
        // A job's thread may start late: the board shows the best plan of
        // the jobs heard from so far, which only ever gets better.
        if (overall.has_plan) {
          EXPECT_LE(overall.otpad, best_shown);
          best_shown = overall.otpad;
        }
        if (++ticks == 3) stop = true;
      },
      std::chrono::milliseconds(5));
  EXPECT_TRUE(outcome.interrupted);
  EXPECT_EQ(jobs_stopped.load(), 3) << "every job saw the stop and returned before run_jobs did";
  EXPECT_EQ(outcome.job_number, 1);
  EXPECT_GE(ticks.load(), 3);
}

TEST(ProgressBoard, ShowsTheSlowestJobAndTheBestPlan) {
  ProgressBoard board(3);
  EXPECT_FALSE(board.overall().has_plan);
  board.update(1, {40, true, 12.0, 9});
  board.update(2, {25, true, 8.0, 10});
  board.update(3, {60, true, 8.0, 11});
  const JobProgress overall = board.overall();
  EXPECT_EQ(overall.percent, 25);
  EXPECT_EQ(overall.otpad, 8.0);
  EXPECT_EQ(overall.bars, 10);  // the lower job of two equal plans
}

}  // namespace
}  // namespace krelvo::cli
