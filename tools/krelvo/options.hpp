// The command line of krelvo.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace krelvo::cli {

struct Options {
  std::string problem_file;  // JSON; may be empty when both CSV lists are given
  std::string items_file;    // CSV, replaces the problem file's items
  std::string stock_file;    // CSV, replaces the problem file's stock
  std::string level = "standardna";
  std::string seed = "fixed";
  int jobs = 1;
  double kerf = 0.0;
  double trim = 0.0;
  std::optional<double> time_limit_seconds;  // stop the search at the first checkpoint after it
  std::string stock_order = "given";         // given, ascending, descending or best
  char delimiter = '\0';                     // of CSV lists; '\0': detected from the header
  bool decimal_comma = false;                // CSV numbers use ',' for decimals, '.' is refused
  std::string format = "table";
  std::string svg_file;
  std::string html_file;
  std::string offcuts_file;   // the offcut rack, CSV or JSON
  double keep_offcuts = 0.0;  // leftovers at least this long are kept; 0 keeps none
  bool update_offcuts = false;
  bool quiet = false;
  bool verbose = false;  // the optimizer's own error text as well
  bool exact = false;    // after the heuristic, search for a plan with the fewest bars and prove it
};

// --exact's time limit when none is given.
constexpr double kExactTimeLimit = 60.0;

// Stock orders --stock-order best tries at most: 6! = 720 runs.
inline constexpr std::size_t kMostStockKindsToOrder = 6;

// A number given to an option: "--kerf: \"3,5\" is not a number (use . for
// decimals)", "--kerf: -3 is negative"; raises the input error.
double option_number(std::string_view option, std::string_view text);

// The level's number in razine_opt.
int level_number(const std::string& level);

struct ParsedCommandLine {
  std::optional<Options> options;  // empty: exit with `exit_code` (help, version, usage error)
  int exit_code = 0;
};

// Writes help and version to `out` and usage errors (one line) to `err`.
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace krelvo::cli
