#include "options.hpp"

#include <CLI/CLI.hpp>
#include <array>
#include <charconv>
#include <ostream>

#include "automation/error.hpp"
#include "decimal.hpp"
#include "exit_status.hpp"
#include "input_checks.hpp"
#include "length_scale.hpp"
#include "terminal_text.hpp"

namespace krelvo::cli {
namespace {

constexpr std::array<const char*, 4> kLevels = {"brza", "standardna", "jaka", "vrlojaka"};

constexpr const char* kDescription =
    "krelvo: cutting plans for bars. Give the pieces to cut and the stock bars in hand;\n"
    "krelvo finds a plan with little waste and prints it.\n\n"
    "Input: a JSON problem file\n"
    "  {\"stock\": [{\"length\": 6000, \"quantity\": 10}, {\"length\": 12000, \"quantity\": 0}],\n"
    "   \"items\": [{\"length\": 2150, \"quantity\": 4, \"label\": \"door frame\"}, ...]}\n"
    "or CSV lists (--items, --stock; - reads standard input) as spreadsheets export them: a\n"
    "header row naming length (len, duljina), quantity (qty, count, kom, komada; 1 when left\n"
    "out) and label (name, part, naziv); ',', ';' or tab between fields, a decimal comma\n"
    "with ';' or tab. Stock quantity 0 means unlimited; stock kinds are used in the order\n"
    "given (see --stock-order).\n"
    "Lengths are in any one unit; every length and waste reported is in that unit.\n";

constexpr const char* kFooter =
    "Output: a table of the distinct cutting patterns and a summary (default), JSON or CSV on\n"
    "standard output; --svg also writes a cutting diagram, --html a printable report. A\n"
    "progress bar is shown on standard error when it is a terminal. Ctrl-C stops the run at its\n"
    "next checkpoint and prints the best plan so far, marked as interrupted; a second Ctrl-C\n"
    "ends krelvo at once. --time-limit stops it the same way, with exit status 0.\n"
    "--update-offcuts writes the rack only when a plan was printed.\n\n"
    "Exit status: 0 plan printed, 1 the run failed (for example the stock ran out) or the\n"
    "output could not be written, 2 input or usage error, 130 interrupted by Ctrl-C.\n\n"
    "Examples:\n"
    "  krelvo examples/problems/door_frames.json\n"
    "  krelvo --items items.csv --stock stock.csv --kerf 3 --trim 10 --svg plan.svg\n"
    "  krelvo problem.json --level vrlojaka --seed clock --jobs 4 --format json\n"
    "  krelvo problem.json --stock-order best --jobs 2 --time-limit 60\n"
    "  krelvo problem.json --exact --time-limit 120\n"
    "  krelvo job.json --offcuts rack.csv --keep-offcuts 300 --update-offcuts --html report.html\n"
    "  spreadsheet-export | krelvo --items - --stock stock.csv";

// Options that are fine alone but not together; empty when all is well.
std::string combination_problem(const Options& options) {
  const int readers_of_standard_input =
      int{options.problem_file == "-"} + int{options.items_file == "-"} + int{options.stock_file == "-"};
  if (options.problem_file.empty() && (options.items_file.empty() || options.stock_file.empty()))
    return "no input: give a problem file (JSON), or both --items and --stock (CSV)";
  if (readers_of_standard_input > 1) return "only one input can be - (standard input)";
  if (options.update_offcuts && options.offcuts_file.empty())
    return "--update-offcuts needs --offcuts FILE: the rack to write back";
  if (options.exact && options.stock_order == "best")
    return "--exact and --stock-order best do not go together: the exact search takes stock of one length, "
           "where the order changes nothing";
  if (options.jobs > 1 && options.seed == "fixed" && options.stock_order != "best")
    return "--jobs " + std::to_string(options.jobs) +
           " needs --seed clock: with a fixed seed every job would build the same plans";
  return {};
}

}  // namespace

double option_number(std::string_view option, std::string_view text) {
  const std::string name(option);
  const std::optional<Decimal> decimal = parse_decimal(text);
  if (!decimal) raise_input_error(name, "\"" + shortened(text) + "\" is not a number (use . for decimals)");
  if (decimal->negative && !decimal->digits.empty()) raise_input_error(name, shortened(text) + " is negative");
  const std::string_view digits = text.starts_with('+') ? text.substr(1) : text;
  double value = 0.0;
  if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc())
    raise_input_error(name, shortened(text) + " is too large");
  return value;
}

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

  std::string jobs = "1";
  std::string kerf = "0";
  std::string trim = "0";
  std::string time_limit;
  std::string keep_offcuts;
  std::string delimiter;
  app.add_option("problem", options.problem_file, "Problem file (JSON) with stock and items; - reads standard input")
      ->type_name("FILE.json");
  app.add_option("--items", options.items_file,
                 "Items to cut, CSV with length, quantity, label columns; replaces the file's items")
      ->type_name("FILE.csv");
  app.add_option("--stock", options.stock_file,
                 "Stock bars, CSV with length, quantity, label columns; replaces the file's stock")
      ->type_name("FILE.csv");
  app.add_option("--delimiter", delimiter, "Field separator of the CSV lists: , ; or tab (default: from the header)")
      ->type_name("C");
  app.add_flag("--decimal-comma", options.decimal_comma,
               "CSV numbers use a decimal comma (1234,5); a point in a number is refused");
  app.add_option("--level", options.level,
                 "Search level, plans built: brza 101, standardna 1501, jaka 6501-14501, vrlojaka 14501-54501")
      ->check(CLI::IsMember({"brza", "standardna", "jaka", "vrlojaka"}))
      ->capture_default_str();
  app.add_option("--seed", options.seed, "fixed: the same input gives the same plan; clock: a new search each run")
      ->check(CLI::IsMember({"fixed", "clock"}))
      ->capture_default_str();
  app.add_option("--jobs", jobs,
                 "Run N independent searches on N threads and keep the best (needs --seed clock); "
                 "with --stock-order best, the threads that share the orders")
      ->type_name("N")
      ->capture_default_str();
  app.add_option("--kerf", kerf, "Width W of one saw cut: each piece takes its length plus W")
      ->type_name("W")
      ->capture_default_str();
  app.add_option("--trim", trim, "Length T cut off each bar before its first piece")
      ->type_name("T")
      ->capture_default_str();
  app.add_option("--time-limit", time_limit,
                 "Stop the search at the first checkpoint after S seconds and print the best plan so far "
                 "(--exact: 60 by default)")
      ->type_name("S");
  app.add_option("--stock-order", options.stock_order,
                 "Order the stock kinds are cut in: given, ascending or descending length, or best: try every "
                 "order (up to 6 kinds) and keep the plan using the least stock, then the least waste")
      ->check(CLI::IsMember({"given", "ascending", "descending", "best"}))
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
  app.add_option("--keep-offcuts", keep_offcuts,
                 "Keep every leftover of at least MIN (after its saw cut) as an offcut; the rest is scrap")
      ->type_name("MIN");
  app.add_flag("--update-offcuts", options.update_offcuts,
               "After the run write the rack back to the --offcuts FILE (used ones off, kept ones on; backup FILE~)");
  app.add_flag("-q,--quiet", options.quiet, "No progress bar and no notice of a long run");
  app.add_flag("-v,--verbose", options.verbose, "With a failed run, also the optimizer's own error text");
  app.add_flag("--exact", options.exact,
               "Then search for a plan with the fewest bars and prove it optimal (stock of one length)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& success) {
    return {std::nullopt, app.exit(success, out, err)};
  } catch (const CLI::ParseError& error) {
    err << "krelvo: " << terminal_text(error.what()) << " (see krelvo --help)\n";
    return {std::nullopt, kExitInputError};
  }

  std::string problem;
  try {
    options.kerf = option_number("--kerf", kerf);
    options.trim = option_number("--trim", trim);
    const double job_count = option_number("--jobs", jobs);
    if (job_count < 1 || job_count > 256 || job_count != static_cast<int>(job_count))
      raise_input_error("--jobs", jobs + " is not a whole number from 1 to 256");
    options.jobs = static_cast<int>(job_count);
    if (!delimiter.empty() && delimiter != "," && delimiter != ";" && delimiter != "tab")
      raise_input_error("--delimiter", "\"" + shortened(delimiter) + "\" is not , ; or tab");
    if (!time_limit.empty()) {
      options.time_limit_seconds = option_number("--time-limit", time_limit);
      if (*options.time_limit_seconds <= 0.0) raise_input_error("--time-limit", time_limit + " is not more than 0");
    }
    if (!keep_offcuts.empty()) {
      options.keep_offcuts = option_number("--keep-offcuts", keep_offcuts);
      if (options.keep_offcuts <= 0.0)
        raise_input_error("--keep-offcuts", shortened(keep_offcuts) + " is not more than 0");
      // Compared with leftovers in whole units, which stand for at most this many decimals.
      const int64_t decimals = parse_decimal(keep_offcuts)->decimals();
      if (decimals > LengthScale::kMaxDecimals)
        raise_input_error("--keep-offcuts", shortened(keep_offcuts) + " has " + std::to_string(decimals) +
                                                " decimals; krelvo works to " +
                                                std::to_string(LengthScale::kMaxDecimals) + " decimals at most");
    }
  } catch (const automation::AutomationError& error) {
    problem = error.description();
  }
  if (!delimiter.empty()) options.delimiter = delimiter == "tab" ? '\t' : delimiter.front();
  if (problem.empty()) problem = combination_problem(options);
  if (!problem.empty()) {
    err << "krelvo: " << terminal_text(problem) << " (see krelvo --help)\n";
    return {std::nullopt, kExitInputError};
  }
  return {options, kExitSuccess};
}

}  // namespace krelvo::cli
