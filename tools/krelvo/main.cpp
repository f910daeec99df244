// krelvo: the command-line host of the cutting-stock optimizer.
#include <unistd.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <future>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "automation/error.hpp"
#include "automation/whole_file_writer.hpp"
#include "exact_job.hpp"
#include "exit_status.hpp"
#include "input_csv.hpp"
#include "input_checks.hpp"
#include "input_json.hpp"
#include "memory_need.hpp"
#include "offcut_keeping.hpp"
#include "offcut_rack.hpp"
#include "optimizer_job.hpp"
#include "options.hpp"
#include "output_csv.hpp"
#include "output_html.hpp"
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

// The diagram appears whole or not at all (a FIFO or device is written straight).
void write_file_whole(const std::string& path, const std::string& text) {
  const automation::WholeFileWrite written = automation::write_whole_file(automation::file_system(), path, text);
  if (!written) automation::raise_invalid_argument("cannot write " + path + ": " + std::strerror(written.error_number));
}

// Every line krelvo says on standard error; file contents in it are escaped.
void say(const std::string& message) { std::cerr << "krelvo: " << terminal_text(message) << '\n'; }

// The folders of the files written after the run are checked before a run
// that may take long, so a typing error costs nothing.
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
  using Clock = std::chrono::steady_clock;

  explicit StopWatch(std::optional<double> limit_seconds) : limit_(limit_seconds) {}

  // Called about every 100 ms while the jobs work.
  void check() {
    if (InterruptHandler::requested().load()) stop_.store(true);
    if (limit_ && !stop_.load() && Clock::now() >= deadline()) {
      stop_.store(true);
      by_time_limit_ = true;
    }
  }
  const std::atomic<bool>& flag() const { return stop_; }
  bool by_time_limit() const { return by_time_limit_; }
  bool interrupted() const { return InterruptHandler::requested().load(); }
  Clock::time_point started() const { return start_; }
  Clock::time_point deadline() const {
    if (!limit_) return Clock::time_point::max();
    return start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*limit_));
  }

 private:
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
  std::optional<SolverBound> solver_bound;
};

// How long a normal run lets the LP bound work beside the search.
constexpr std::chrono::seconds kLpBoundTime{1};

// The exact search from the heuristic's plan. Its plan replaces the
// heuristic's; when it fails, the heuristic's plan stands, with a warning.
std::optional<SolverBound> run_exact_phase(const Problem& problem, const TransformedProblem& transformed,
                                           StopWatch& stop_watch,
                                           const std::function<void(const ProgressBoard&)>& on_tick,
                                           OptimizerPlan& plan) {
  exact::ExactJobResult result;
  const int64_t known_bound = problem_lower_bound(problem, transformed).value_or(0);
  try {
    const RunOutcome exact_outcome = run_jobs(
        1,
        [&](int, JobContext& context) {
          return exact::run_exact_job(problem, transformed, plan, known_bound, stop_watch.deadline(), context,
                                      result);
        },
        stop_watch.flag(), on_tick);
    map_back(problem, transformed, exact_outcome.plan);  // refuses a plan that does not cut every piece once
    plan = exact_outcome.plan;
  } catch (const automation::AutomationError& error) {
    say("warning: the exact search failed: " + run_failure_text(error) + "; the heuristic's plan is shown");
    return std::nullopt;
  }
  if (!result.proven && !result.note.empty()) say("--exact: " + result.note);
  return SolverBound{result.bound, false};
}

RunResult run_search(const Options& options, const Problem& problem, const TransformedProblem& transformed,
                     const StockOrder& order, StopWatch& stop_watch) {
  const InterruptHandler interrupt;
  ProgressBar progress_bar(!options.quiet, transformed.scale);
  const JobSettings settings{level_number(options.level), options.seed == "clock"};
  const Allowances allowances{options.kerf, options.trim, options.keep_offcuts};
  if (options.stock_order == "best") {
    OrderSearchOutcome found = search_stock_orders(
        problem, allowances, options.jobs,
        [&](const OptimizerInput& input, JobContext& context) { return run_optimizer(input, settings, context); },
        stop_watch.flag(), [&](int16_t percent) {
          stop_watch.check();
          progress_bar.draw({percent, false, 0.0, 0});
        });
    stop_watch.check();
    return {std::move(found.transformed), std::move(found.plan), std::move(found.order), {}, std::nullopt};
  }
  const auto on_tick = [&](const ProgressBoard& board) {
    stop_watch.check();
    progress_bar.draw(board.overall());
  };
  // The LP bound works beside the search, for a second at most.
  std::future<std::optional<exact::LpBound>> lp_bound;
  if (!options.exact)
    lp_bound = std::async(std::launch::async, [&] {
      return exact::problem_lp_bound(problem, transformed, {stop_watch.started() + kLpBoundTime,
                                                            [&] { return stop_watch.flag().load(); }});
    });
  RunOutcome outcome = run_jobs(
      options.jobs, [&](int, JobContext& context) { return run_optimizer(transformed.input, settings, context); },
      stop_watch.flag(), on_tick);
  stop_watch.check();
  std::optional<SolverBound> solver_bound;
  if (options.exact && !stop_watch.flag().load()) {
    solver_bound = run_exact_phase(problem, transformed, stop_watch, on_tick, outcome.plan);
    stop_watch.check();
  }
  if (lp_bound.valid())
    if (const auto bound = lp_bound.get()) solver_bound = SolverBound{bound->bars, !bound->complete};
  return {transformed, map_back(problem, transformed, outcome.plan), order, std::move(outcome.failed_jobs),
          solver_bound};
}

// The old rack is kept as FILE~ before the new one replaces it.
void update_rack(const OffcutRack& rack, const RackPlacement& placement, const Report& report) {
  const std::string text = render_rack(rack, rack_after(rack, placement, report));
  if (rack.existed) write_file_whole(rack.path + "~", rack.text);
  write_file_whole(rack.path, text);
}

std::string local_date_time() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> text{};
  std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M", &local);
  return text.data();
}

int run_krelvo(const Options& options) {
  Problem problem;
  TransformedProblem transformed;
  StockOrder order;
  OffcutRack rack;
  RackPlacement placement;
  std::vector<std::string> warnings;
  const Allowances allowances{options.kerf, options.trim, options.keep_offcuts};
  try {
    problem = load_problem(options, warnings);
    if (!options.offcuts_file.empty()) {
      rack = read_offcut_rack(options.offcuts_file, options.update_offcuts);
      warnings.insert(warnings.end(), rack.warnings.begin(), rack.warnings.end());
      placement = place_offcuts(problem, rack, allowances);
    }
    // The offcuts keep their place first; the order is the regular stock's.
    const std::size_t regular_kinds = problem.stock.size() - problem.offcut_kinds;
    if (options.stock_order == "best" && regular_kinds > kMostStockKindsToOrder)
      raise_input_error("--stock-order best", "tries every order of at most " +
                                                  std::to_string(kMostStockKindsToOrder) + " stock kinds, not " +
                                                  std::to_string(regular_kinds));
    order = stock_order_by(problem, options.stock_order);
  } catch (const automation::AutomationError& error) {
    say(error.description());
    return kExitInputError;
  }
  try {
    transformed = transform(problem, allowances, order);
  } catch (const automation::AutomationError& error) {
    // Another order may hold what the given one cannot; the search says when none does.
    if (options.stock_order != "best") {
      say(error.description());
      return kExitInputError;
    }
  }
  if (options.exact)
    if (const auto refusal = exact::exact_refusal(problem, transformed)) {
      say(*refusal);
      return kExitInputError;
    }
  const double runs = options.stock_order == "best" ? static_cast<double>(distinct_stock_orders(problem).size())
                                                    : 1.0;
  const int threads = options.stock_order == "best" ? options.jobs : 1;
  if (const auto refusal =
          memory_refusal(run_memory_bytes(transformed.input, options.jobs), memory_available_bytes(), options.jobs)) {
    say(*refusal);
    return kExitInputError;
  }
  for (const std::string* file : {&options.svg_file, &options.html_file})
    if (!file->empty())
      if (const auto problem_text = unwritable_folder(*file)) {
        say(*problem_text);
        return kExitRunFailed;
      }
  for (const std::string& warning : warnings) say("warning: " + warning);
  if (options.stock_order != "best")
    for (const std::string& warning : transformed.warnings) say("warning: " + warning);
  const std::optional<double> time_limit =
      options.exact ? options.time_limit_seconds.value_or(kExactTimeLimit) : options.time_limit_seconds;
  if (!options.quiet)
    if (const auto notice = long_run_notice(
            estimated_run_seconds(transformed.input, level_number(options.level), runs, threads), time_limit))
      say(*notice);

  StopWatch stop_watch(time_limit);
  RunResult result;
  CuttingPlan plan;
  try {
    result = run_search(options, problem, transformed, order, stop_watch);
    plan = result.plan;
    drop_untouched_offcuts(plan, problem);
    keep_offcuts(plan, result.transformed, options.keep_offcuts);
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
  const PlanSummary summary = summarize(problem, result.transformed, plan, result.solver_bound);
  if (summary.bound_cut_short) say("note: the LP bound was cut short after 1 s; the lower bound shown may be weaker");
  RunDescription run{options.level,
                     options.seed,
                     options.jobs,
                     options.exact,
                     result.transformed.keep_units,
                     options.offcuts_file,
                     options.stock_order,
                     result.order,
                     stop_watch.by_time_limit() && !interrupted};
  const Report report{problem, result.transformed, plan, summary, interrupted, std::move(run)};
  const std::string text = options.format == "json"  ? render_json(report)
                           : options.format == "csv" ? render_csv(report)
                                                     : render_table(report);
  // The plan first: when it cannot be written, no other file appears either.
  std::cout << text << std::flush;
  if (!std::cout) {
    say("cannot write the plan to standard output");
    return kExitRunFailed;
  }
  try {
    if (!options.svg_file.empty()) write_file_whole(options.svg_file, render_svg(report));
    if (!options.html_file.empty()) write_file_whole(options.html_file, render_html(report, local_date_time()));
    if (options.update_offcuts) update_rack(rack, placement, report);
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
