// krelvo: the command-line host of the cutting-stock optimizer.
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "automation/error.hpp"
#include "exit_status.hpp"
#include "input_csv.hpp"
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
#include "terminal_text.hpp"

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

int run_krelvo(const Options& options) {
  Problem problem;
  TransformedProblem transformed;
  try {
    problem = load_problem(options);
    transformed = transform(problem, {options.kerf, options.trim});
  } catch (const automation::AutomationError& error) {
    say(error.description());
    return kExitInputError;
  }
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
  for (const std::string& warning : transformed.warnings) say("warning: " + warning);

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
    say("the optimization failed: " + describe(error));
    return kExitRunFailed;
  }
  for (const auto& [job, error] : outcome.failed_jobs)
    say("warning: job " + std::to_string(job) + " failed: " + describe(error) + "; the best plan of the other jobs is shown");

  const PlanSummary summary = summarize(problem, transformed, plan);
  const Report report{problem, transformed,         plan,
                      summary, outcome.interrupted, {options.level, options.seed, options.jobs}};
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
  if (outcome.interrupted) {
    say("interrupted; the plan shown is the best found so far");
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
