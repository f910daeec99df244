// The command line of krelvo.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

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
  std::string format = "table";
  std::string svg_file;
  std::string html_file;
  std::string offcuts_file;   // the offcut rack, CSV or JSON
  double keep_offcuts = 0.0;  // leftovers at least this long are kept; 0 keeps none
  bool update_offcuts = false;
  bool quiet = false;
  bool exact = false;  // after the heuristic, search for a plan with the fewest bars and prove it
  std::optional<double> time_limit;  // seconds; --exact defaults to kExactTimeLimit
};

constexpr double kExactTimeLimit = 60.0;

// The level's number in razine_opt.
int level_number(const std::string& level);

struct ParsedCommandLine {
  std::optional<Options> options;  // empty: exit with `exit_code` (help, version, usage error)
  int exit_code = 0;
};

// Writes help and version to `out` and usage errors (one line) to `err`.
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace krelvo::cli
