// krelvo: the command-line host of the cutting-stock optimizer.
#include <cstring>
#include <iostream>

#include "automation/error.hpp"
#include "automation/whole_file_writer.hpp"
#include "exit_status.hpp"
#include "input_csv.hpp"
#include "input_json.hpp"
#include "optimizer_job.hpp"
#include "options.hpp"
#include "output_csv.hpp"
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

int run_krelvo(const Options& options) {
  Problem problem;
  TransformedProblem transformed;
  try {
    problem = load_problem(options);
    transformed = transform(problem, {options.kerf, options.trim});
  } catch (const automation::AutomationError& error) {
    std::cerr << "krelvo: " << error.description() << '\n';
    return kExitInputError;
  }
  for (const std::string& warning : transformed.warnings) std::cerr << "krelvo: warning: " << warning << '\n';

  RunOutcome outcome;
  CuttingPlan plan;
  try {
    const InterruptHandler interrupt;
    ProgressBar progress_bar(!options.quiet, transformed.scale);
    const JobSettings settings{level_number(options.level), options.seed == "clock"};
    outcome = run_jobs(
        options.jobs, [&](int, JobContext& context) { return run_optimizer(transformed.input, settings, context); },
        InterruptHandler::requested(), [&](const ProgressBoard& board) { progress_bar.draw(board.overall()); });
    plan = map_back(problem, transformed, outcome.plan);
  } catch (const automation::AutomationError& error) {
    std::cerr << "krelvo: the optimization failed: " << describe(error) << '\n';
    return kExitRunFailed;
  }
  for (const auto& [job, error] : outcome.failed_jobs)
    std::cerr << "krelvo: warning: job " << job << " failed: " << describe(error)
              << "; the best plan of the other jobs is shown\n";

  const PlanSummary summary = summarize(problem, transformed, plan);
  const Report report{problem, transformed,         plan,
                      summary, outcome.interrupted, {options.level, options.seed, options.jobs}};
  const std::string text = options.format == "json"  ? render_json(report)
                           : options.format == "csv" ? render_csv(report)
                                                     : render_table(report);
  try {
    if (!options.svg_file.empty()) write_file_whole(options.svg_file, render_svg(report));
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
