// krelvo: the command-line host of the cutting-stock optimizer.
#include <atomic>
#include <array>
#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <future>
#include <iostream>

#include "automation/error.hpp"
#include "automation/whole_file_writer.hpp"
#include "exact_job.hpp"
#include "exit_status.hpp"
#include "input_csv.hpp"
#include "input_json.hpp"
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

namespace krelvo::cli {
namespace {

Problem load_problem(const Options& options) {
  Problem problem;
  if (!options.problem_file.empty()) problem = read_problem_json(options.problem_file);
  if (!options.items_file.empty()) {
    problem.items = read_kinds_csv(options.items_file);
    problem.items_source = options.items_file;
  }
  if (!options.stock_file.empty()) {
    problem.stock = read_kinds_csv(options.stock_file);
    problem.stock_source = options.stock_file;
  }
  return problem;
}

std::string describe(const automation::AutomationError& error) {
  std::string text = error.description() + " (error " + std::to_string(error.number());
  if (!error.source().empty()) text += " in " + error.source();
  return text + ")";
}

// The diagram appears whole or not at all (a FIFO or device is written straight).
void write_file_whole(const std::string& path, const std::string& text) {
  const automation::WholeFileWrite written = automation::write_whole_file(automation::file_system(), path, text);
  if (!written) automation::raise_invalid_argument("cannot write " + path + ": " + std::strerror(written.error_number));
}

// How long a normal run lets the LP bound work beside the search.
constexpr std::chrono::seconds kLpBoundTime{1};

// The exact search from the heuristic's plan. Its plan replaces the
// heuristic's; when it fails, the heuristic's plan stands, with a warning.
std::optional<SolverBound> run_exact_phase(const Problem& problem, const TransformedProblem& transformed,
                                           std::chrono::steady_clock::time_point deadline,
                                           const std::atomic<bool>& stop,
                                           const std::function<void(const ProgressBoard&)>& on_tick,
                                           RunOutcome& outcome) {
  exact::ExactJobResult result;
  const int64_t known_bound = problem_lower_bound(problem, transformed).value_or(0);
  try {
    const RunOutcome exact_outcome = run_jobs(
        1,
        [&](int, JobContext& context) {
          return exact::run_exact_job(problem, transformed, outcome.plan, known_bound, deadline, context, result);
        },
        stop, on_tick);
    map_back(problem, transformed, exact_outcome.plan);  // refuses a plan that does not cut every piece once
    outcome.plan = exact_outcome.plan;
  } catch (const automation::AutomationError& error) {
    std::cerr << "krelvo: warning: the exact search failed: " << describe(error)
              << "; the heuristic's plan is shown\n";
    return std::nullopt;
  }
  if (!result.proven && !result.note.empty()) std::cerr << "krelvo: --exact: " << result.note << '\n';
  return SolverBound{result.bound, false};
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
  OffcutRack rack;
  RackPlacement placement;
  try {
    problem = load_problem(options);
    if (!options.offcuts_file.empty()) {
      rack = read_offcut_rack(options.offcuts_file, options.update_offcuts);
      placement = place_offcuts(problem, rack, {options.kerf, options.trim});
    }
    transformed = transform(problem, {options.kerf, options.trim});
  } catch (const automation::AutomationError& error) {
    std::cerr << "krelvo: " << error.description() << '\n';
    return kExitInputError;
  }
  for (const std::string& warning : transformed.warnings) std::cerr << "krelvo: warning: " << warning << '\n';

  if (options.exact)
    if (const auto refusal = exact::exact_refusal(problem, transformed)) {
      std::cerr << "krelvo: " << *refusal << '\n';
      return kExitInputError;
    }
  const auto started = std::chrono::steady_clock::now();
  const std::optional<double> limit = options.exact ? options.time_limit.value_or(kExactTimeLimit) : options.time_limit;
  const auto deadline = limit ? started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                              std::chrono::duration<double>(*limit))
                              : std::chrono::steady_clock::time_point::max();

  RunOutcome outcome;
  CuttingPlan plan;
  std::optional<SolverBound> solver_bound;
  bool timed_out = false;
  try {
    const InterruptHandler interrupt;
    ProgressBar progress_bar(!options.quiet, transformed.scale);
    // Ctrl-C and the time limit both end the run at its next checkpoint.
    std::atomic<bool> stop{false};
    const auto on_tick = [&](const ProgressBoard& board) {
      if (InterruptHandler::requested() || std::chrono::steady_clock::now() >= deadline) stop = true;
      progress_bar.draw(board.overall());
    };
    // The LP bound works beside the search, for a second at most.
    std::future<std::optional<exact::LpBound>> lp_bound;
    if (!options.exact)
      lp_bound = std::async(std::launch::async, [&] {
        return exact::problem_lp_bound(problem, transformed, {started + kLpBoundTime, [&] { return stop.load(); }});
      });
    const JobSettings settings{level_number(options.level), options.seed == "clock"};
    outcome = run_jobs(
        options.jobs, [&](int, JobContext& context) { return run_optimizer(transformed.input, settings, context); },
        stop, on_tick);
    if (options.exact && !stop) solver_bound = run_exact_phase(problem, transformed, deadline, stop, on_tick, outcome);
    if (lp_bound.valid())
      if (const auto bound = lp_bound.get()) solver_bound = SolverBound{bound->bars, !bound->complete};
    outcome.interrupted = InterruptHandler::requested();
    timed_out = stop && !outcome.interrupted;
    plan = map_back(problem, transformed, outcome.plan);
    drop_untouched_offcuts(plan, problem);
    keep_offcuts(plan, transformed, options.keep_offcuts);
  } catch (const automation::AutomationError& error) {
    std::cerr << "krelvo: the optimization failed: " << describe(error) << '\n';
    return kExitRunFailed;
  }
  for (const auto& [job, error] : outcome.failed_jobs)
    std::cerr << "krelvo: warning: job " << job << " failed: " << describe(error)
              << "; the best plan of the other jobs is shown\n";

  const PlanSummary summary = summarize(problem, transformed, plan, solver_bound);
  if (summary.bound_cut_short)
    std::cerr << "krelvo: note: the LP bound was cut short after 1 s; the lower bound shown may be weaker\n";
  const RunDescription run{options.level,
                           options.seed,
                           options.jobs,
                           options.exact,
                           transformed.scale.to_units(options.keep_offcuts),
                           options.offcuts_file};
  const Report report{problem,
                      transformed,
                      plan,
                      summary,
                      outcome.interrupted,
                      run,
                      timed_out ? "time-limit" : outcome.interrupted ? "interrupt" : ""};
  const std::string text = options.format == "json"  ? render_json(report)
                           : options.format == "csv" ? render_csv(report)
                                                     : render_table(report);
  try {
    if (!options.svg_file.empty()) write_file_whole(options.svg_file, render_svg(report));
    if (!options.html_file.empty()) write_file_whole(options.html_file, render_html(report, local_date_time()));
    if (options.update_offcuts) update_rack(rack, placement, report);
  } catch (const automation::AutomationError& error) {
    std::cerr << "krelvo: " << error.description() << '\n';
    return kExitRunFailed;
  }
  std::cout << text << std::flush;
  if (!std::cout) {
    std::cerr << "krelvo: cannot write the plan to standard output\n";
    return kExitRunFailed;
  }
  if (outcome.interrupted) {
    std::cerr << "krelvo: interrupted; the plan shown is the best found so far\n";
    return kExitInterrupted;
  }
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
