#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "exit_status.hpp"
#include "options.hpp"

namespace krelvo::cli {
namespace {

struct Parsed {
  ParsedCommandLine result;
  std::string out;
  std::string err;
};

Parsed parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "krelvo");
  std::ostringstream out;
  std::ostringstream err;
  ParsedCommandLine result = parse_command_line(static_cast<int>(arguments.size()), arguments.data(), out, err);
  return {std::move(result), out.str(), err.str()};
}

TEST(Options, DefaultsAndEveryOption) {
  const Parsed defaults = parse({"p.json"});
  ASSERT_TRUE(defaults.result.options);
  EXPECT_EQ(defaults.result.options->level, "standardna");
  EXPECT_EQ(defaults.result.options->seed, "fixed");
  EXPECT_EQ(defaults.result.options->jobs, 1);
  EXPECT_EQ(defaults.result.options->format, "table");

  const Parsed all = parse({"--items", "i.csv", "--stock", "s.csv", "--level", "vrlojaka", "--seed", "clock", "--jobs",
                            "3", "--kerf", "2.5", "--trim", "10", "--format", "csv", "--svg", "d.svg", "-q"});
  ASSERT_TRUE(all.result.options) << all.err;
  const Options& options = *all.result.options;
  EXPECT_EQ(options.items_file, "i.csv");
  EXPECT_EQ(options.stock_file, "s.csv");
  EXPECT_EQ(level_number(options.level), 4);
  EXPECT_EQ(options.seed, "clock");
  EXPECT_EQ(options.format, "csv");
  EXPECT_EQ(options.jobs, 3);
  EXPECT_EQ(options.kerf, 2.5);
  EXPECT_EQ(options.trim, 10.0);
  EXPECT_EQ(options.svg_file, "d.svg");
  EXPECT_TRUE(options.quiet);

  const Parsed spreadsheet = parse({"--items", "-", "--stock", "s.csv", "--delimiter", "tab", "--decimal-comma",
                                    "--time-limit", "1.5", "--stock-order", "best", "--jobs", "2", "-v"});
  ASSERT_TRUE(spreadsheet.result.options) << spreadsheet.err;
  EXPECT_EQ(spreadsheet.result.options->delimiter, '\t');
  EXPECT_TRUE(spreadsheet.result.options->decimal_comma);
  EXPECT_EQ(spreadsheet.result.options->time_limit_seconds, 1.5);
  EXPECT_EQ(spreadsheet.result.options->stock_order, "best");
  EXPECT_EQ(spreadsheet.result.options->jobs, 2);  // threads for the orders: no clock seed needed
  EXPECT_TRUE(spreadsheet.result.options->verbose);
}

TEST(Options, LevelNumbersFollowRazineOpt) {
  EXPECT_EQ(level_number("brza"), 1);
  EXPECT_EQ(level_number("standardna"), 2);
  EXPECT_EQ(level_number("jaka"), 3);
  EXPECT_EQ(level_number("vrlojaka"), 4);
}

TEST(Options, HelpNamesEveryOptionAndExitStatus) {
  const Parsed help = parse({"--help"});
  EXPECT_FALSE(help.result.options);
  EXPECT_EQ(help.result.exit_code, kExitSuccess);
  for (const char* text :
       {"--items",         "--stock",   "--level", "--seed",    "--jobs",       "--kerf",         "--trim",
        "--format",        "--svg",     "--quiet", "--version", "--time-limit", "--stock-order",  "--delimiter",
        "--decimal-comma", "--verbose", "--exact", "--html",    "--offcuts",    "--keep-offcuts", "--update-offcuts",
        "Exit status",     "130"})
    EXPECT_NE(help.out.find(text), std::string::npos) << text;
}

struct Refused {
  std::vector<const char*> arguments;
  const char* message;
};

class OptionsRefused : public testing::TestWithParam<Refused> {};

TEST_P(OptionsRefused, WithStatusTwoAndOneLine) {
  const Parsed parsed = parse(GetParam().arguments);
  EXPECT_FALSE(parsed.result.options);
  EXPECT_EQ(parsed.result.exit_code, kExitInputError);
  EXPECT_NE(parsed.err.find(GetParam().message), std::string::npos) << parsed.err;
  EXPECT_EQ(parsed.err.find('\n'), parsed.err.size() - 1) << parsed.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionsRefused,
    testing::Values(
        Refused{{"p.json", "--jobs", "4"}, "krelvo: --jobs 4 needs --seed clock"},
        Refused{{"p.json", "--jobs", "4", "--seed", "fixed"}, "with a fixed seed every job would build the same plans"},
        Refused{{"p.json", "--jobs", "0", "--seed", "clock"}, "--jobs"},
        Refused{{"p.json", "--level", "fast"}, "--level"}, Refused{{"p.json", "--format", "xml"}, "--format"},
        Refused{{"p.json", "--kerf", "-3"}, "krelvo: --kerf: -3 is negative (see krelvo --help)"},
        Refused{{"p.json", "--kerf", "3,5"}, "krelvo: --kerf: \"3,5\" is not a number (use . for decimals)"},
        Refused{{"p.json", "--kerf", "3mm"}, "krelvo: --kerf: \"3mm\" is not a number (use . for decimals)"},
        Refused{{"p.json", "--kerf", "1e999"}, "krelvo: --kerf: 1e999 is too large"},
        Refused{{"p.json", "--trim", "ten"}, "--trim: \"ten\" is not a number"},
        Refused{{"p.json", "--jobs", "2.5", "--seed", "clock"}, "--jobs: 2.5 is not a whole number from 1 to 256"},
        Refused{{"p.json", "--jobs", "300", "--seed", "clock"}, "--jobs: 300 is not a whole number from 1 to 256"},
        Refused{{"p.json", "--time-limit", "0"}, "--time-limit: 0 is not more than 0"},
        Refused{{"p.json", "--stock-order", "random"}, "--stock-order"},
        Refused{{"p.json", "--keep-offcuts", "3,5"},
                "krelvo: --keep-offcuts: \"3,5\" is not a number (use . for decimals)"},
        Refused{{"p.json", "--keep-offcuts", "0"}, "krelvo: --keep-offcuts: 0 is not more than 0"},
        Refused{{"p.json", "--keep-offcuts", "0.1234567"},
                "krelvo: --keep-offcuts: 0.1234567 has 7 decimals; krelvo works to 6 decimals at most"},
        Refused{{"p.json", "--update-offcuts"}, "--update-offcuts needs --offcuts FILE"},
        Refused{{"p.json", "--exact", "--stock-order", "best"},
                "krelvo: --exact and --stock-order best do not go together"},
        Refused{{"p.json", "--delimiter", "|"}, "--delimiter: \"|\" is not , ; or tab"},
        Refused{{"--items", "-", "--stock", "-"}, "only one input can be - (standard input)"},
        Refused{{"p.json", "--bogus"}, "--bogus"},
        Refused{{}, "krelvo: no input: give a problem file (JSON), or both --items and --stock (CSV)"},
        Refused{{"--items", "i.csv"}, "no input"}));

}  // namespace
}  // namespace krelvo::cli
