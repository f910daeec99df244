// krelvo: the command-line host of the cutting-stock optimizer.
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "automation/error.hpp"
#include "exit_status.hpp"
#include "input_csv.hpp"
#include "input_checks.hpp"
#include "input_json.hpp"
#include "memory_need.hpp"
#include "optimizer_job.hpp"
#include "options.hpp"
#include "output_csv.hpp"
#include "output_json.hpp"
#include "output_svg.hpp"
#include "output_table.hpp"
#include "plan_summary.hpp"
#include "progress_bar.hpp"
#include "run.hpp"
#include "run_messages.hpp"
#include "stock_order.hpp"
#include "stock_order_search.hpp"
#include "terminal_text.hpp"

namespace krelvo::cli {
namespace {

Problem load_problem(const Options& options, std::vector<std::string>& warnings) {
  Problem problem;
  if (!options.problem_file.empty()) problem = read_problem_json(options.problem_file);
  const CsvFormat format{options.delimiter, options.decimal_comma};
  const auto read_list = [&](const std::string& path, std::vector<Kind>& kinds, std::string& source) {
    KindList list = read_kinds_csv(path, format);
    kinds = std::move(list.kinds);
    source = input_name(path);
    warnings.insert(warnings.end(), list.warnings.begin(), list.warnings.end());
  };
  if (!options.items_file.empty()) read_list(options.items_file, problem.items, problem.items_source);
  if (!options.stock_file.empty()) read_list(options.stock_file, problem.stock, problem.stock_source);
  return problem;
}

// The diagram appears whole or not at all: written aside, then renamed.
void write_file_whole(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
      const std::string reason = std::strerror(errno);
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      automation::raise_invalid_argument("cannot write " + path + ": " + reason);
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    const std::string reason = error.message();
    std::filesystem::remove(temporary, error);
    automation::raise_invalid_argument("cannot write " + path + ": " + reason);
  }
}

// Every line krelvo says on standard error; file contents in it are escaped.
void say(const std::string& message) { std::cerr << "krelvo: " << terminal_text(message) << '\n'; }

// The diagram's folder is checked before a run that may take long, so a
// typing error costs nothing.
std::optional<std::string> unwritable_folder(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    return "cannot write " + path + ": " + std::strerror(ENOENT);
  if (access(folder.c_str(), W_OK) != 0) return "cannot write " + path + ": " + std::strerror(errno);
  return std::nullopt;
}

// The stop request the jobs see: Ctrl-C, or the time limit passed.
class StopWatch {
 public:
  explicit StopWatch(std::optional<double> limit_seconds) : limit_(limit_seconds) {}

  // Called about every 100 ms while the jobs work.
  void check() {
    if (InterruptHandler::requested().load()) stop_.store(true);
    if (limit_ && !stop_.load() && std::chrono::duration<double>(Clock::now() - start_).count() >= *limit_) {
      stop_.store(true);
      by_time_limit_ = true;
    }
  }
  const std::atomic<bool>& flag() const { return stop_; }
  bool by_time_limit() const { return by_time_limit_; }
  bool interrupted() const { return InterruptHandler::requested().load(); }

 private:
  using Clock = std::chrono::steady_clock;
  std::optional<double> limit_;
  Clock::time_point start_ = Clock::now();
  std::atomic<bool> stop_{false};
  bool by_time_limit_ = false;
};

struct RunResult {
  TransformedProblem transformed;
  CuttingPlan plan;
  StockOrder order;
  std::vector<std::pair<int, automation::AutomationError>> failed_jobs;
};

RunResult run_search(const Options& options, const Problem& problem, const TransformedProblem& transformed,
                     const StockOrder& order, StopWatch& stop_watch) {
  const InterruptHandler interrupt;
  ProgressBar progress_bar(!options.quiet, transformed.scale);
  const JobSettings settings{level_number(options.level), options.seed == "clock"};
  const Allowances allowances{options.kerf, options.trim};
  if (options.stock_order == "best") {
    OrderSearchOutcome found = search_stock_orders(
        problem, allowances, options.jobs,
        [&](const OptimizerInput& input, JobContext& context) { return run_optimizer(input, settings, context); },
        stop_watch.flag(), [&](int16_t percent) {
          stop_watch.check();
          progress_bar.draw({percent, false, 0.0, 0});
        });
    stop_watch.check();
    return {std::move(found.transformed), std::move(found.plan), std::move(found.order), {}};
  }
  RunOutcome outcome = run_jobs(
      options.jobs, [&](int, JobContext& context) { return run_optimizer(transformed.input, settings, context); },
      stop_watch.flag(), [&](const ProgressBoard& board) {
        stop_watch.check();
        progress_bar.draw(board.overall());
      });
  stop_watch.check();
  return {transformed, map_back(problem, transformed, outcome.plan), order, std::move(outcome.failed_jobs)};
}

int run_krelvo(const Options& options) {
  Problem problem;
  TransformedProblem transformed;
  StockOrder order;
  std::vector<std::string> warnings;
  try {
    problem = load_problem(options, warnings);
    if (options.stock_order == "best" && problem.stock.size() > kMostStockKindsToOrder)
      raise_input_error("--stock-order best", "tries every order of at most " +
                                                  std::to_string(kMostStockKindsToOrder) + " stock kinds, not " +
                                                  std::to_string(problem.stock.size()));
    order = stock_order_by(problem, options.stock_order);
  } catch (const automation::AutomationError& error) {
    say(error.description());
    return kExitInputError;
  }
  try {
    transformed = transform(problem, {options.kerf, options.trim}, order);
  } catch (const automation::AutomationError& error) {
    // Another order may hold what the given one cannot; the search says when none does.
    if (options.stock_order != "best") {
      say(error.description());
      return kExitInputError;
    }
  }
  const double runs = options.stock_order == "best" ? static_cast<double>(distinct_stock_orders(problem).size())
                                                    : 1.0;
  const int threads = options.stock_order == "best" ? options.jobs : 1;
  if (const auto refusal =
          memory_refusal(run_memory_bytes(transformed.input, options.jobs), memory_available_bytes(), options.jobs)) {
    say(*refusal);
    return kExitInputError;
  }
  if (!options.svg_file.empty())
    if (const auto problem_text = unwritable_folder(options.svg_file)) {
      say(*problem_text);
      return kExitRunFailed;
    }
  for (const std::string& warning : warnings) say("warning: " + warning);
  if (options.stock_order != "best")
    for (const std::string& warning : transformed.warnings) say("warning: " + warning);
  if (!options.quiet)
    if (const auto notice = long_run_notice(
            estimated_run_seconds(transformed.input, level_number(options.level), runs, threads),
            options.time_limit_seconds))
      say(*notice);

  StopWatch stop_watch(options.time_limit_seconds);
  RunResult result;
  try {
    result = run_search(options, problem, transformed, order, stop_watch);
  } catch (const automation::AutomationError& error) {
    say(error.number() == automation::kErrInvalidProcedureCall && options.stock_order == "best"
            ? error.description()
            : "the optimization failed: " + run_failure_text(error));
    if (options.verbose) say("the optimizer said: " + library_error_text(error));
    return options.stock_order == "best" && error.number() == automation::kErrInvalidProcedureCall ? kExitInputError
                                                                                                   : kExitRunFailed;
  }
  for (const auto& [job, error] : result.failed_jobs) {
    say("warning: job " + std::to_string(job) + " failed: " + run_failure_text(error) +
        "; the best plan of the other jobs is shown");
    if (options.verbose) say("the optimizer said: " + library_error_text(error));
  }

  const bool interrupted = stop_watch.interrupted();
  const PlanSummary summary = summarize(problem, result.transformed, result.plan);
  RunDescription run{options.level, options.seed, options.jobs, options.stock_order, result.order,
                     stop_watch.by_time_limit() && !interrupted};
  const Report report{problem, result.transformed, result.plan, summary, interrupted, std::move(run)};
  const std::string text = options.format == "json"  ? render_json(report)
                           : options.format == "csv" ? render_csv(report)
                                                     : render_table(report);
  // The plan first: when it cannot be written, no diagram appears either.
  std::cout << text << std::flush;
  if (!std::cout) {
    say("cannot write the plan to standard output");
    return kExitRunFailed;
  }
  try {
    if (!options.svg_file.empty()) write_file_whole(options.svg_file, render_svg(report));
  } catch (const automation::AutomationError& error) {
    say(error.description());
    return kExitRunFailed;
  }
  if (interrupted) {
    say("interrupted; the plan shown is the best found so far");
    return kExitInterrupted;
  }
  if (report.run.stopped_by_time_limit) say("the time limit was reached; the plan shown is the best found so far");
  return kExitSuccess;
}

}  // namespace
}  // namespace krelvo::cli

int main(int argc, char** argv) {
  using namespace krelvo::cli;
  const ParsedCommandLine parsed = parse_command_line(argc, argv, std::cout, std::cerr);
  if (!parsed.options) return parsed.exit_code;
  return run_krelvo(*parsed.options);
}
