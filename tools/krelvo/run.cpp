#include "run.hpp"

#include <unistd.h>
#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <new>
#include <string_view>
#include <thread>

namespace krelvo::cli {
namespace {

// Set from the signal handler: lock-free, so safe there.
std::atomic<bool> interrupt_flag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

struct sigaction previous_action {};
// Whether standard error is a terminal, learnt before the handler may run:
// the acknowledgement then first clears the progress line.
bool stderr_is_terminal = false;

void write_stderr(std::string_view text) {
  [[maybe_unused]] const auto written = write(STDERR_FILENO, text.data(), text.size());
}

extern "C" void on_interrupt(int signal_number) {
  if (!interrupt_flag.exchange(true)) {
    // The next checkpoint may be minutes away: say at once that Ctrl-C was heard.
    if (stderr_is_terminal) write_stderr("\r\x1b[K");
    write_stderr("krelvo: stopping at the next checkpoint; press Ctrl-C again to quit\n");
  } else {
    // The second Ctrl-C: die of the signal, as an unhandled one would.
    write_stderr("\n");
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
  }
}

// Better plan by the optimizer's rule: strictly less waste wins, so the
// earlier (lower-numbered) of equal plans stays.
bool better(const JobProgress& candidate, const JobProgress& best) {
  return candidate.has_plan && (!best.has_plan || candidate.otpad < best.otpad);
}

class ThreadContext final : public JobContext {
 public:
  ThreadContext(int job_number, ProgressBoard& board, const std::atomic<bool>& stop)
      : job_number_(job_number), board_(board), stop_(stop) {}
  void report(const JobProgress& progress) override { board_.update(job_number_, progress); }
  bool stop_requested() const override { return stop_.load(); }

 private:
  int job_number_;
  ProgressBoard& board_;
  const std::atomic<bool>& stop_;
};

struct JobEnd {
  std::optional<OptimizerPlan> plan;
  std::optional<automation::AutomationError> error;
};

JobEnd run_one(const Job& job, int job_number, ProgressBoard& board, const std::atomic<bool>& stop) {
  ThreadContext context(job_number, board, stop);
  try {
    return {job(job_number, context), std::nullopt};
  } catch (const automation::AutomationError& error) {
    return {std::nullopt, error};
  } catch (const std::bad_alloc&) {
    return {std::nullopt, automation::AutomationError(automation::kErrOutOfMemory, "Out of memory")};
  } catch (const std::exception& error) {
    return {std::nullopt, automation::AutomationError(automation::kErrInvalidProcedureCall, error.what())};
  }
}

}  // namespace

void ProgressBoard::update(int job_number, const JobProgress& progress) {
  const std::lock_guard lock(mutex_);
  jobs_.at(static_cast<std::size_t>(job_number - 1)) = progress;
}

JobProgress ProgressBoard::overall() const {
  const std::lock_guard lock(mutex_);
  JobProgress result;
  result.percent = jobs_.empty() ? int16_t{0} : jobs_.front().percent;
  for (const JobProgress& job : jobs_) {
    result.percent = std::min(result.percent, job.percent);
    result.lower_bound = std::max(result.lower_bound, job.lower_bound);
    if (better(job, result)) {
      result.has_plan = true;
      result.otpad = job.otpad;
      result.bars = job.bars;
    }
  }
  return result;
}

RunOutcome run_jobs(int jobs, const Job& job, const std::atomic<bool>& stop,
                    const std::function<void(const ProgressBoard&)>& on_tick, std::chrono::milliseconds tick) {
  ProgressBoard board(jobs);
  std::vector<JobEnd> ends(static_cast<std::size_t>(jobs));
  std::mutex mutex;
  std::condition_variable finished_changed;
  int finished = 0;
  {
    std::vector<std::jthread> threads;
    for (int number = 1; number <= jobs; ++number)
      threads.emplace_back([&, number] {
        JobEnd end = run_one(job, number, board, stop);
        const std::lock_guard lock(mutex);
        ends[static_cast<std::size_t>(number - 1)] = std::move(end);
        ++finished;
        finished_changed.notify_one();
      });
    std::unique_lock lock(mutex);
    while (!finished_changed.wait_for(lock, tick, [&] { return finished == jobs; })) {
      lock.unlock();
      on_tick(board);
      lock.lock();
    }
  }

  RunOutcome outcome;
  outcome.interrupted = stop.load();
  const JobEnd* best = nullptr;
  for (int number = 1; number <= jobs; ++number) {
    const JobEnd& end = ends[static_cast<std::size_t>(number - 1)];
    if (end.plan && (best == nullptr || end.plan->otpad < best->plan->otpad)) {
      best = &end;
      outcome.job_number = number;
    }
  }
  if (best == nullptr) throw *ends.front().error;
  outcome.plan = *best->plan;
  for (int number = 1; number <= jobs; ++number)
    if (const auto& error = ends[static_cast<std::size_t>(number - 1)].error)
      outcome.failed_jobs.emplace_back(number, *error);
  return outcome;
}

InterruptHandler::InterruptHandler() {
  interrupt_flag.store(false);
  stderr_is_terminal = isatty(STDERR_FILENO) == 1;
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_action);
}

InterruptHandler::~InterruptHandler() { sigaction(SIGINT, &previous_action, nullptr); }

const std::atomic<bool>& InterruptHandler::requested() { return interrupt_flag; }

}  // namespace krelvo::cli
