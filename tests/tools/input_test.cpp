#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "decimal.hpp"
#include "input_checks.hpp"
#include "input_csv.hpp"
#include "input_json.hpp"
#include "raises_input_error.hpp"

namespace krelvo::cli {
namespace {

TEST(InputJson, ReadsStockItemsAndLabelsInOrder) {
  const Problem problem = parse_problem_json(
      R"({"stock": [{"length": 6000, "quantity": 10}, {"length": 12000, "quantity": 0}],
          "items": [{"length": 2150, "quantity": 4, "label": "door frame"}, {"length": 1200.5, "quantity": 13.0}]})",
      "p.json");
  ASSERT_EQ(problem.stock.size(), 2u);
  ASSERT_EQ(problem.items.size(), 2u);
  EXPECT_EQ(problem.stock[1].length, 12000.0);
  EXPECT_EQ(problem.stock[1].quantity, 0);
  EXPECT_EQ(problem.items[0].label, "door frame");
  EXPECT_EQ(problem.items[1].length, 1200.5);
  EXPECT_EQ(problem.items[1].quantity, 13);
  EXPECT_EQ(problem.items[1].label, "");
  EXPECT_EQ(problem.items[1].origin, "p.json: item 2");
  EXPECT_EQ(problem.stock[0].origin, "p.json: stock 1");
}

struct BadInput {
  const char* text;
  const char* message;
};

class InputJsonErrors : public testing::TestWithParam<BadInput> {};

TEST_P(InputJsonErrors, NamesFileEntryAndProblem) {
  EXPECT_THAT([] { parse_problem_json(GetParam().text, "p.json"); }, RaisesInputError(GetParam().message));
}

constexpr const char* kStock = R"("stock": [{"length": 6000, "quantity": 1}])";

INSTANTIATE_TEST_SUITE_P(
    Cases, InputJsonErrors,
    testing::Values(
        BadInput{"{\n  \"stock\": [,]\n}",
                 "p.json:2:13: invalid JSON: syntax error while parsing value - unexpected ','; expected '[', '{', or "
                 "a literal"},
        BadInput{"[1, 2]", "p.json: expected an object with \"stock\" and \"items\""},
        BadInput{R"({"stock": [], "itemz": []})", "p.json: unknown key \"itemz\" (expected stock, items)"},
        BadInput{R"({"stock": []})", "p.json: \"items\" is missing"},
        BadInput{R"({"stock": {}, "items": []})", "p.json: \"stock\" must be a list, not {}"},
        BadInput{R"({"stock": [{"length": "6000", "quantity": 1}], "items": []})",
                 "p.json: stock 1: length must be a number, not \"6000\""},
        BadInput{R"({"stock": [{"length": -6000, "quantity": 1}], "items": []})",
                 "p.json: stock 1: length -6000 is negative"},
        BadInput{R"({"stock": [{"length": 0, "quantity": 1}], "items": []})", "p.json: stock 1: length 0 is zero"},
        BadInput{R"({"stock": [{"length": 6000}], "items": []})", "p.json: stock 1: \"quantity\" is missing"},
        BadInput{R"({"stock": [{"length": 6000, "quantity": 1, "lable": "x"}], "items": []})",
                 "p.json: stock 1: unknown key \"lable\" (expected length, quantity, label)"},
        BadInput{R"({"stock": [{"length": 6000, "quantity": 1}], "items": [{"length": 10, "quantity": 2.5}]})",
                 "p.json: item 1: quantity 2.5 is not a whole number"},
        BadInput{
            R"({"stock": [{"length": 6000, "quantity": 1}], "items": [{"length": 1, "quantity": 1}, {"length": 10, "quantity": -1}]})",
            "p.json: item 2: quantity -1 is negative"},
        BadInput{
            R"({"stock": [{"length": 6000, "quantity": 1}], "items": [{"length": 10, "quantity": 9007199254740993}]})",
            "p.json: item 1: quantity 9007199254740993 is more than 2147483647"},
        BadInput{
            R"({"stock": [{"length": 6000, "quantity": 1}], "items": [{"length": 10, "quantity": 1, "label": 7}]})",
            "p.json: item 1: label must be a string, not 7"},
        BadInput{R"({"stock": [{"length": 6000, "quantity": 1}], "items": [5]})",
                 "p.json: item 1: expected an object with \"length\" and \"quantity\", not 5"},
        // Numbers beyond the range of doubles are input errors, not an abort.
        BadInput{R"({"stock": [{"length": 1e309, "quantity": 0}], "items": [{"length": 1, "quantity": 1}]})",
                 "p.json: stock 1: the number 1e309 is too large"},
        BadInput{R"({"stock": [{"length": 6000, "quantity": 0}], "items": [{"length": 1, "quantity": 1},
                 {"length": 2, "quantity": -1e400}]})",
                 "p.json: item 2: the number -1e400 is too large"},
        BadInput{R"({"stock": [{"length": 6000, "quantity": 0}], "items": [{"length": 1, "quantity": 1e-400}]})",
                 "p.json: item 1: quantity 1e-400 is not a whole number"},
        BadInput{R"({"stock": [{"length": 6000, "quantity": 0}], "items": [{"length": 1e-400, "quantity": 1}]})",
                 "p.json: item 1: length 1e-400 is too small"},
        // Ambiguous documents: a repeated key, bytes after the end.
        BadInput{
            R"({"stock": [{"length": 6000, "quantity": 0}], "items": [{"length": 20, "quantity": 1, "length": 1}]})",
            "p.json: item 1: the key \"length\" appears more than once"},
        BadInput{R"({"stock": [], "items": [], "items": []})", "p.json: the key \"items\" appears more than once"},
        BadInput{"{\"stock\": [], \"items\": []} x",
                 "p.json:1:28: invalid JSON: syntax error while parsing value - invalid literal; last read: "
                 "'\"items\": []} x'; expected end of input"}));

TEST(InputJson, BytesAfterANulAreNotIgnored) {
  for (const std::string& text : {std::string("{\"stock\": [], \"items\": []}\n\0garbage", 35),
                                  std::string("{\"stock\": [], \"items\": []}\0", 27)})
    EXPECT_THAT([&] { parse_problem_json(text, "p.json"); },
                RaisesInputError("p.json:" + std::string(text.size() == 35 ? "2:1" : "1:27") +
                                 ": invalid JSON: unexpected bytes after the end of the document"));
}

TEST(InputJson, LongNumbersAreCutShortInMessages) {
  const std::string digits(400, '9');
  EXPECT_THAT(
      [&] {
        parse_problem_json(R"({"stock": [{"length": )" + digits + R"(, "quantity": 0}], "items": []})", "p.json");
      },
      RaisesInputError("p.json: stock 1: the number " + digits.substr(0, 40) + "… is too large"));
}

TEST(InputJson, DeepNestingIsRefusedBeforeItCanExhaustTheStack) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_THAT([&] { parse_problem_json(deep, "p.json"); },
              RaisesInputError("p.json: invalid JSON: the document nests deeper than 64 levels"));
  EXPECT_THAT(
      [&] { parse_problem_json(R"({"stock": [{"length": )" + deep + R"(, "quantity": 0}], "items": []})", "p.json"); },
      RaisesInputError("p.json: stock 1: invalid JSON: the document nests deeper than 64 levels"));
}

TEST(InputJson, KeepsTheLengthAsWritten) {
  const Problem problem = parse_problem_json(
      R"({"stock": [{"length": 10, "quantity": 0}], "items": [{"length": 2.0000000009, "quantity": 5}]})", "p.json");
  EXPECT_EQ(problem.items[0].length_text, "2.0000000009");
  EXPECT_EQ(problem.stock[0].length_text, "10");
}

struct DecimalCase {
  const char* text;
  bool negative;
  const char* digits;
  int64_t exponent;
  int64_t decimals;
};

class ParseDecimal : public testing::TestWithParam<DecimalCase> {};

TEST_P(ParseDecimal, KeepsEveryDigit) {
  const std::optional<Decimal> decimal = parse_decimal(GetParam().text);
  ASSERT_TRUE(decimal);
  EXPECT_EQ(decimal->negative, GetParam().negative);
  EXPECT_EQ(decimal->digits, GetParam().digits);
  EXPECT_EQ(decimal->exponent, GetParam().exponent);
  EXPECT_EQ(decimal->decimals(), GetParam().decimals);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseDecimal,
                         testing::Values(DecimalCase{"2150", false, "215", 1, 0},
                                         DecimalCase{"0.25", false, "25", -2, 2},
                                         DecimalCase{"-12.500", true, "125", -1, 1},
                                         DecimalCase{"1.00000000000000001", false, "100000000000000001", -17, 17},
                                         DecimalCase{"1.5e3", false, "15", 2, 0},
                                         DecimalCase{"25E-4", false, "25", -4, 4},
                                         DecimalCase{"+007", false, "7", 0, 0}, DecimalCase{"0.000", false, "", 0, 0},
                                         DecimalCase{".5", false, "5", -1, 1}, DecimalCase{"5.", false, "5", 0, 0}));

TEST(ParseDecimalSyntax, RefusesWhatIsNoNumber) {
  for (const char* text : {"", "-", ".", "1e", "1e+", "12,5", "3mm", " 1", "0x10", "inf", "nan", "1..2", "--1"})
    EXPECT_FALSE(parse_decimal(text)) << text;
}

TEST(ParseDecimalScaled, IsExactOrNothing) {
  EXPECT_EQ(parse_decimal("2150.25")->scaled(2, int64_t{1} << 50), 215025);
  EXPECT_EQ(parse_decimal("2150.25")->scaled(3, int64_t{1} << 50), 2150250);
  EXPECT_FALSE(parse_decimal("2150.25")->scaled(1, int64_t{1} << 50));  // not whole
  EXPECT_EQ(parse_decimal("1125899906842624")->scaled(0, int64_t{1} << 50), int64_t{1} << 50);
  EXPECT_FALSE(parse_decimal("1125899906842625")->scaled(0, int64_t{1} << 50));
  EXPECT_FALSE(parse_decimal("1e999999")->scaled(0, int64_t{1} << 50));
  EXPECT_EQ(parse_decimal("0")->scaled(6, 10), 0);
}

TEST(InputCsv, ReadsColumnsByHeaderQuotesAndBlankLines) {
  const std::vector<Kind> kinds =
      parse_kinds_csv(
          "\xEF\xBB\xBF"
          "Label, length ,QUANTITY\r\n\"door, left\",2150,4\r\n\r\n\"say \"\"hi\"\"\",1200.25,1\r\n  ,300,0\n",
          "items.csv")
          .kinds;
  ASSERT_EQ(kinds.size(), 3u);
  EXPECT_EQ(kinds[0].label, "door, left");
  EXPECT_EQ(kinds[0].length, 2150.0);
  EXPECT_EQ(kinds[0].quantity, 4);
  EXPECT_EQ(kinds[1].label, "say \"hi\"");
  EXPECT_EQ(kinds[1].length, 1200.25);
  EXPECT_EQ(kinds[1].origin, "items.csv:4");
  EXPECT_EQ(kinds[2].label, "");
  EXPECT_EQ(kinds[2].quantity, 0);
}

TEST(InputCsv, HeaderOnlyGivesAnEmptyList) { EXPECT_TRUE(parse_kinds_csv("length,quantity\n", "s.csv").kinds.empty()); }

TEST(InputCsv, ReadsSpreadsheetExports) {
  struct Case {
    const char* text;
    CsvFormat format;
    std::vector<std::pair<std::string, int32_t>> kinds;  // length as written, quantity
    const char* warning;
  };
  const Case cases[] = {
      // European: ';', decimal comma, aliases in any case, extra columns, empty rows at the end.
      {"Naziv;Duljina;Kom;Boja\nvrata;2150,5;4;bijela\nprag;1200;2;\n;;;\n;;;\n",
       {},
       {{"2150.5", 4}, {"1200", 2}},
       "items.csv:1: not used: the columns \"Boja\""},
      {"len\tqty\n2150,5\t4\n1200.25\t1\n", {}, {{"2150.5", 4}, {"1200.25", 1}}, ""},
      // With ',' between fields a decimal comma must be quoted.
      {"length,count\n\"2150,5\",4\n", {}, {{"2150.5", 4}}, ""},
      // No quantity column: a piece per row.
      {"part,len\na,100\nb,200\n", {}, {{"100", 1}, {"200", 1}}, ""},
      // Forced separator and decimal comma.
      {"length;quantity\n12,5;2\n", {';', true}, {{"12.5", 2}}, ""},
  };
  for (const Case& tested : cases) {
    SCOPED_TRACE(tested.text);
    const KindList list = parse_kinds_csv(tested.text, "items.csv", tested.format);
    ASSERT_EQ(list.kinds.size(), tested.kinds.size());
    for (std::size_t index = 0; index < list.kinds.size(); ++index) {
      EXPECT_EQ(list.kinds[index].length_text, tested.kinds[index].first);
      EXPECT_EQ(list.kinds[index].quantity, tested.kinds[index].second);
    }
    EXPECT_EQ(list.warnings.empty() ? "" : list.warnings.front(), std::string(tested.warning));
  }
}

TEST(InputCsv, DecimalCommaRefusesAPointThatCouldBeAThousandsSeparator) {
  EXPECT_THAT(
      [] {
        parse_kinds_csv("length;quantity\n1.234;2\n", "items.csv", {'\0', true});
      },
      RaisesInputError(
          "items.csv:2: length \"1.234\" is not a number (this list uses , for decimals: --decimal-comma)"));
}

TEST(InputCsv, QuotedFieldsSpanLinesAndFormulaGuardsReadBack) {
  const KindList list =
      parse_kinds_csv("length,label,quantity\n100,\"two\nlines\",1\n200,'=SUM(A1),2\n300,'plain,3\n", "i.csv");
  ASSERT_EQ(list.kinds.size(), 3u);
  EXPECT_EQ(list.kinds[0].label, "two\nlines");
  EXPECT_EQ(list.kinds[1].label, "=SUM(A1)");
  EXPECT_EQ(list.kinds[1].origin, "i.csv:4");
  EXPECT_EQ(list.kinds[2].label, "'plain");
}

class InputCsvErrors : public testing::TestWithParam<BadInput> {};

TEST_P(InputCsvErrors, NamesFileLineAndProblem) {
  EXPECT_THAT([] { parse_kinds_csv(GetParam().text, "items.csv"); }, RaisesInputError(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InputCsvErrors,
    testing::Values(
        BadInput{"", "items.csv: the file is empty (expected a header row such as length,quantity,label)"},
        BadInput{"2150,4\n",
                 "items.csv:1: the header has no column \"length\" (expected length, quantity and label, or their "
                 "aliases len, duljina, qty, count, kom, komada, name, part, naziv)"},
        BadInput{"length,quantity,Len\n", "items.csv:1: the header names the length column twice (\"Len\")"},
        BadInput{"length,quantity\n2150,4\n\n1,2,3\n", "items.csv:4: expected 2 fields as in the header, found 3"},
        BadInput{"length,quantity\nabc,4\n", "items.csv:2: length \"abc\" is not a number"},
        BadInput{"length,quantity\n2150,4\n1,5,4\n", "items.csv:3: expected 2 fields as in the header, found 3"},
        BadInput{"length,quantity\n-5,4\n", "items.csv:2: length -5 is negative"},
        BadInput{"length,quantity\ninf,4\n", "items.csv:2: length \"inf\" is not a number"},
        BadInput{"length,quantity\n5,4.5\n", "items.csv:2: quantity 4.5 is not a whole number"},
        BadInput{"length,quantity\n1e309,4\n", "items.csv:2: length 1e309 is too large"},
        BadInput{"length,quantity\n5,\n", "items.csv:2: quantity \"\" is not a number"},
        BadInput{"length,quantity\n5,3000000000\n", "items.csv:2: quantity 3000000000 is more than 2147483647"},
        BadInput{"length,quantity,label\n5,1,\"open\n",
                 "items.csv:2: a quoted field is not closed by the end of the file"},
        BadInput{"length;quantity\n1.234,5;2\n", "items.csv:2: length \"1.234,5\" is not a number"},
        BadInput{"length,quantity,label\n5,1,caf\xE9\n", "items.csv:2: the label is not UTF-8 text"}));

TEST(InputFile, MissingFileAndDirectoryAreNamed) {
  EXPECT_THAT([] { read_kinds_csv("/nonexistent/items.csv"); },
              RaisesInputError("/nonexistent/items.csv: cannot open: No such file or directory"));
  const std::string directory = testing::TempDir();
  EXPECT_THAT([&] { read_problem_json(directory); }, RaisesInputError(directory + ": is a directory, not a file"));
}

TEST(InputFile, ReadsAWholeFile) {
  const std::filesystem::path path = std::filesystem::path(testing::TempDir()) / "krelvo_input_test.csv";
  std::ofstream(path) << "length,quantity\n10,2\n";
  const std::vector<Kind> kinds = read_kinds_csv(path.string()).kinds;
  std::filesystem::remove(path);
  ASSERT_EQ(kinds.size(), 1u);
  EXPECT_EQ(kinds[0].origin, path.string() + ":2");
}

TEST(Utf8, RefusesMalformedSequences) {
  EXPECT_TRUE(is_valid_utf8("door ×2 \xF0\x9F\x98\x80"));
  EXPECT_FALSE(is_valid_utf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(is_valid_utf8("\xE2\x82"));          // cut short
  EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

}  // namespace
}  // namespace krelvo::cli
