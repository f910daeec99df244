// Running the optimization: N independent jobs on N threads, their progress
// collected for the progress bar, Ctrl-C turned into a stop request, and the
// best plan kept by the optimizer's own rule.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "automation/error.hpp"
#include "problem.hpp"

namespace krelvo::cli {

// One job's state at its latest progress report.
struct JobProgress {
  int16_t percent = 0;
  bool has_plan = false;
  double otpad = 0.0;  // units
  int32_t bars = 0;
  int64_t lower_bound = 0;  // 0: none known yet
};

// What a job sees of the run while it works.
class JobContext {
 public:
  virtual ~JobContext() = default;
  virtual void report(const JobProgress& progress) = 0;
  virtual bool stop_requested() const = 0;
};

// A job builds plans until done or told to stop and returns its best plan;
// job numbers count from 1.
using Job = std::function<OptimizerPlan(int job_number, JobContext& context)>;

// The latest report of every job, shared between the job threads and the display.
class ProgressBoard {
 public:
  explicit ProgressBoard(int jobs) : jobs_(static_cast<std::size_t>(jobs)) {}

  void update(int job_number, const JobProgress& progress);
  // The least percent of all jobs (the run ends with its slowest job) and the
  // best plan so far, chosen as at the end of the run.
  JobProgress overall() const;

 private:
  mutable std::mutex mutex_;
  std::vector<JobProgress> jobs_;
};

struct RunOutcome {
  OptimizerPlan plan;
  int job_number = 1;  // whose plan it is
  bool interrupted = false;
  // Jobs that failed while another one brought a plan.
  std::vector<std::pair<int, automation::AutomationError>> failed_jobs;
};

// Runs the jobs and returns the plan with the least waste, the lowest job
// number on a tie. Jobs that fail are passed over; when all fail, the error of
// the lowest-numbered one is raised. `on_tick` runs on the calling thread
// about every `tick` while the jobs work. `stop` is handed to every job.
RunOutcome run_jobs(int jobs, const Job& job, const std::atomic<bool>& stop,
                    const std::function<void(const ProgressBoard&)>& on_tick,
                    std::chrono::milliseconds tick = std::chrono::milliseconds(100));

// While it lives, Ctrl-C (SIGINT) sets the flag; a second Ctrl-C ends the
// process at once, as the interrupt would have without this handler.
class InterruptHandler {
 public:
  InterruptHandler();
  ~InterruptHandler();
  InterruptHandler(const InterruptHandler&) = delete;
  InterruptHandler& operator=(const InterruptHandler&) = delete;

  static const std::atomic<bool>& requested();
};

}  // namespace krelvo::cli
