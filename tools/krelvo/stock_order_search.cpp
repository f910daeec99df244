#include "stock_order_search.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "plan_summary.hpp"

namespace krelvo::cli {
namespace {

struct Candidate {
  StockOrder order;
  TransformedProblem transformed;
  std::optional<CuttingPlan> plan;
  std::optional<automation::AutomationError> error;
  double stock_length = 0.0;
  double waste = 0.0;
};

class OrderContext final : public JobContext {
 public:
  explicit OrderContext(const std::atomic<bool>& stop) : stop_(stop) {}
  void report(const JobProgress&) override {}
  bool stop_requested() const override { return stop_.load(); }

 private:
  const std::atomic<bool>& stop_;
};

void run_candidate(const Problem& problem, const OrderJob& job, const std::atomic<bool>& stop, Candidate& candidate) {
  OrderContext context(stop);
  try {
    const OptimizerPlan found = job(candidate.transformed.input, context);
    candidate.plan = map_back(problem, candidate.transformed, found);
    const PlanSummary summary = summarize(problem, candidate.transformed, *candidate.plan);
    candidate.stock_length = summary.stock_length;
    candidate.waste = summary.waste;
  } catch (const automation::AutomationError& error) {
    candidate.error = error;
  } catch (const std::exception& error) {
    candidate.error = automation::AutomationError(automation::kErrInvalidProcedureCall, error.what());
  }
}

}  // namespace

OrderSearchOutcome search_stock_orders(const Problem& problem, const Allowances& allowances, int threads,
                                       const OrderJob& job, const std::atomic<bool>& stop,
                                       const std::function<void(int16_t percent)>& on_tick) {
  const std::vector<StockOrder> orders = distinct_stock_orders(problem);
  std::vector<Candidate> candidates;
  std::optional<automation::AutomationError> given_order_error;
  for (const StockOrder& order : orders) {
    try {
      candidates.push_back({order, transform(problem, allowances, order), {}, {}, 0.0, 0.0});
    } catch (const automation::AutomationError& error) {
      if (!given_order_error) given_order_error = error;
    }
  }
  if (candidates.empty()) throw *given_order_error;

  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::condition_variable finished_changed;
  std::size_t finished = 0;
  const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), candidates.size());
  {
    std::vector<std::jthread> pool;
    for (std::size_t worker = 0; worker < workers; ++worker)
      pool.emplace_back([&] {
        for (std::size_t index = next++; index < candidates.size() && !stop.load(); index = next++) {
          run_candidate(problem, job, stop, candidates[index]);
          const std::lock_guard lock(mutex);
          ++finished;
          finished_changed.notify_one();
        }
        const std::lock_guard lock(mutex);
        finished_changed.notify_one();
      });
    std::unique_lock lock(mutex);
    while (!finished_changed.wait_for(lock, std::chrono::milliseconds(100),
                                      [&] { return finished == candidates.size() || stop.load(); })) {
      const auto percent = static_cast<int16_t>(100 * finished / candidates.size());
      lock.unlock();
      on_tick(percent);
      lock.lock();
    }
  }

  const Candidate* best = nullptr;
  for (const Candidate& candidate : candidates) {
    if (!candidate.plan) continue;
    if (best == nullptr || candidate.stock_length < best->stock_length ||
        (candidate.stock_length == best->stock_length && candidate.waste < best->waste))
      best = &candidate;
  }
  if (best == nullptr) {
    for (const Candidate& candidate : candidates)
      if (candidate.error) throw *candidate.error;
    automation::raise_invalid_argument("the search was stopped before any stock order brought a plan");
  }
  const auto tried = static_cast<std::size_t>(std::count_if(
      candidates.begin(), candidates.end(), [](const Candidate& candidate) { return candidate.plan || candidate.error; }));
  return {best->order, best->transformed, *best->plan, tried, candidates.size()};
}

}  // namespace krelvo::cli
