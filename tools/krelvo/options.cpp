#include "options.hpp"

#include <CLI/CLI.hpp>
#include <array>
#include <ostream>

#include "exit_status.hpp"

namespace krelvo::cli {
namespace {

constexpr std::array<const char*, 4> kLevels = {"brza", "standardna", "jaka", "vrlojaka"};

constexpr const char* kDescription =
    "krelvo: cutting plans for bars. Give the pieces to cut and the stock bars in hand;\n"
    "krelvo finds a plan with little waste and prints it.\n\n"
    "Input: a JSON problem file\n"
    "  {\"stock\": [{\"length\": 6000, \"quantity\": 10}, {\"length\": 12000, \"quantity\": 0}],\n"
    "   \"items\": [{\"length\": 2150, \"quantity\": 4, \"label\": \"door frame\"}, ...]}\n"
    "or CSV lists (--items, --stock) with a header row length,quantity[,label] and '.' as\n"
    "decimal point. Stock quantity 0 means unlimited; stock kinds are used in the order given.\n"
    "Lengths are in any one unit; every length and waste reported is in that unit.\n";

constexpr const char* kFooter =
    "Output: a table of the distinct cutting patterns and a summary (default), JSON or CSV on\n"
    "standard output; --svg also writes a cutting diagram, --html a printable report. A\n"
    "progress bar is shown on standard error when it is a terminal. Ctrl-C stops the run at its\n"
    "next checkpoint and prints the best plan so far, marked as interrupted; a second Ctrl-C\n"
    "ends krelvo at once. --update-offcuts writes the rack only when a plan was printed.\n\n"
    "Exit status: 0 plan printed, 1 the run failed (for example the stock ran out) or the\n"
    "output could not be written, 2 input or usage error, 130 interrupted by Ctrl-C.\n\n"
    "Examples:\n"
    "  krelvo examples/problems/door_frames.json\n"
    "  krelvo --items items.csv --stock stock.csv --kerf 3 --trim 10 --svg plan.svg\n"
    "  krelvo problem.json --level vrlojaka --seed clock --jobs 4 --format json\n"
    "  krelvo problem.json --exact --time-limit 120\n"
    "  krelvo job.json --offcuts rack.csv --keep-offcuts 300 --update-offcuts --html report.html";

}  // namespace

int level_number(const std::string& level) {
  for (std::size_t index = 0; index < kLevels.size(); ++index)
    if (level == kLevels[index]) return static_cast<int>(index) + 1;
  return 0;
}

ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Options options;
  CLI::App app(kDescription, "krelvo");
  app.footer(kFooter);
  app.get_formatter()->column_width(30);
  app.set_version_flag("--version", std::string("krelvo ") + KRELVO_VERSION);

  app.add_option("problem", options.problem_file, "Problem file (JSON) with stock and items")->type_name("FILE.json");
  app.add_option("--items", options.items_file, "Items to cut, CSV length,quantity[,label]; replaces the file's items")
      ->type_name("FILE.csv");
  app.add_option("--stock", options.stock_file, "Stock bars, CSV length,quantity[,label]; replaces the file's stock")
      ->type_name("FILE.csv");
  app.add_option("--level", options.level,
                 "Search level, plans built: brza 101, standardna 1501, jaka 6501-14501, vrlojaka 14501-54501")
      ->check(CLI::IsMember({"brza", "standardna", "jaka", "vrlojaka"}))
      ->capture_default_str();
  app.add_option("--seed", options.seed, "fixed: the same input gives the same plan; clock: a new search each run")
      ->check(CLI::IsMember({"fixed", "clock"}))
      ->capture_default_str();
  app.add_option("--jobs", options.jobs,
                 "Run N independent searches on N threads and keep the best (needs --seed clock)")
      ->type_name("N")
      ->check(CLI::Range(1, 256))
      ->capture_default_str();
  app.add_option("--kerf", options.kerf, "Width W of one saw cut: each piece takes its length plus W")
      ->type_name("W")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  app.add_option("--trim", options.trim, "Length T cut off each bar before its first piece")
      ->type_name("T")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  app.add_option("--format", options.format, "Output on standard output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  app.add_option("--svg", options.svg_file, "Also write the cutting diagram to FILE (SVG)")->type_name("FILE");
  app.add_option("--html", options.html_file, "Also write the printable cutting report to FILE (HTML, A4)")
      ->type_name("FILE");
  app.add_option(
         "--offcuts", options.offcuts_file,
         "Offcut rack, CSV or JSON {\"offcuts\": [...]} with length,quantity[,label]; cut first, shortest first")
      ->type_name("FILE");
  app.add_option("--keep-offcuts", options.keep_offcuts,
                 "Keep every leftover of at least MIN (after its saw cut) as an offcut; the rest is scrap")
      ->type_name("MIN")
      ->check(CLI::PositiveNumber);
  app.add_flag("--update-offcuts", options.update_offcuts,
               "After the run write the rack back to the --offcuts FILE (used ones off, kept ones on; backup FILE~)");
  app.add_flag("-q,--quiet", options.quiet, "No progress bar");
  app.add_flag("--exact", options.exact,
               "Then search for a plan with the fewest bars and prove it optimal (stock of one length)");
  app.add_option("--time-limit", options.time_limit,
                 "Stop after S seconds and print the best plan so far (--exact: 60 by default)")
      ->type_name("S")
      ->check(CLI::PositiveNumber);

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& success) {
    return {std::nullopt, app.exit(success, out, err)};
  } catch (const CLI::ParseError& error) {
    err << "krelvo: " << error.what() << " (see krelvo --help)\n";
    return {std::nullopt, kExitInputError};
  }

  std::string problem;
  if (options.problem_file.empty() && (options.items_file.empty() || options.stock_file.empty()))
    problem = "no input: give a problem file (JSON), or both --items and --stock (CSV)";
  else if (options.update_offcuts && options.offcuts_file.empty())
    problem = "--update-offcuts needs --offcuts FILE: the rack to write back";
  else if (options.jobs > 1 && options.seed == "fixed")
    problem = "--jobs " + std::to_string(options.jobs) +
              " needs --seed clock: with a fixed seed every job would build the same plans";
  if (!problem.empty()) {
    err << "krelvo: " << problem << " (see krelvo --help)\n";
    return {std::nullopt, kExitInputError};
  }
  return {options, kExitSuccess};
}

}  // namespace krelvo::cli
