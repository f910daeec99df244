#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "output_csv.hpp"
#include "output_json.hpp"
#include "output_svg.hpp"
#include "output_table.hpp"

namespace krelvo::cli {
namespace {

// Three bars of 6000: twice 2150 "door frame" x2 + 1200.5, then 1200.5 x2; kerf 3, trim 10.
class Outputs : public testing::Test {
 protected:
  Outputs()
      : problem_{{{6000, 0, "rack, A", "s", {}}},
                 {{2150, 4, "door frame", "i1", {}}, {1200.5, 4, "", "i2", {}}, {100, 0, "", "i3", {}}},
                 "p.json",
                 "p.json"},
        transformed_(transform(problem_, {3.0, 10.0})),
        // Optimizer kinds ascending, those with demand only: 1200.5, 2150.
        plan_(map_back(problem_, transformed_, {0.0, {{1, 2}, {2, 0}, {1, 2}}})),
        summary_(summarize(problem_, transformed_, plan_)) {}

  Report report(bool interrupted = false) const {
    return {problem_, transformed_, plan_,
            summary_, interrupted,  {"jaka", "fixed", 1, false, 0.0, "", "given", {0}, false}};
  }

  Problem problem_;
  TransformedProblem transformed_;
  CuttingPlan plan_;
  PlanSummary summary_;
};

TEST_F(Outputs, TableGroupsPatternsAndSummarises) {
  const std::string table = render_table(report());
  EXPECT_NE(table.find("Cutting plan: 3 bars (level jaka, seed fixed)"), std::string::npos) << table;
  EXPECT_NE(table.find("Saw kerf 3, trim 10 off every bar"), std::string::npos) << table;
  // 6000 - 10 - (4300 + 1200.5) - 2 * 3 = 483.5; 6000 - 10 - 2401 - 3 = 3586
  EXPECT_NE(table.find("×2  6000 (rack, A)  5516.5     483.5  2150 (door frame) ×2, 1200.5 ×1"), std::string::npos)
      << table;
  EXPECT_NE(table.find("×1  6000 (rack, A)    2414      3586  1200.5 ×2"), std::string::npos) << table;
  EXPECT_NE(table.find("Waste:        4069.5 (leftover"), std::string::npos) << table;
  EXPECT_NE(table.find("Leftover:     4553 "), std::string::npos) << table;
  EXPECT_NE(table.find("Lower bound:  3 bars; this plan has 3, gap 0 (0.0 %)"), std::string::npos) << table;
  EXPECT_EQ(table.find("INTERRUPTED"), std::string::npos);
  EXPECT_NE(render_table(report(true)).find("INTERRUPTED"), std::string::npos);
}

TEST_F(Outputs, SayHowTheRunStoppedAndWhichStockOrderItUsed) {
  const Report stopped{problem_, transformed_, plan_,
                       summary_, false,        {"jaka", "fixed", 1, false, 0.0, "", "best", {0}, true}};
  const nlohmann::json document = nlohmann::json::parse(render_json(stopped));
  EXPECT_EQ(document["stopped"], "time-limit");
  EXPECT_EQ(document["interrupted"], false);
  EXPECT_EQ(document["stock_order"], nlohmann::json::parse(R"({"rule": "best", "order": [1]})"));
  const std::string table = render_table(stopped);
  EXPECT_NE(table.find("STOPPED EARLY"), std::string::npos) << table;
  EXPECT_NE(table.find("Stock order: best, stock kinds cut in the order 1"), std::string::npos) << table;
  EXPECT_EQ(nlohmann::json::parse(render_json(report(true)))["stopped"], "interrupt");
  EXPECT_EQ(nlohmann::json::parse(render_json(report()))["stopped"], nullptr);
}

TEST_F(Outputs, JsonListsEveryBarAndPieceInUserTerms) {
  const nlohmann::json document = nlohmann::json::parse(render_json(report(true)));
  EXPECT_EQ(document["otpad"], 4069.5);
  EXPECT_EQ(document["brsipka"], 3);
  EXPECT_EQ(document["interrupted"], true);
  EXPECT_EQ(document["kerf"], 3);
  ASSERT_EQ(document["bars"].size(), 3u);
  const nlohmann::json& first = document["bars"][0];
  EXPECT_EQ(first["stock"], 1);
  EXPECT_EQ(first["stock_label"], "rack, A");
  EXPECT_EQ(first["length"], 6000);
  EXPECT_EQ(first["leftover"], 483.5);
  ASSERT_EQ(first["pieces"].size(), 3u);
  EXPECT_EQ(first["pieces"][0], (nlohmann::json{{"item", 1}, {"length", 2150}, {"label", "door frame"}}));
  EXPECT_EQ(first["pieces"][2], (nlohmann::json{{"item", 2}, {"length", 1200.5}}));
  EXPECT_EQ(document["summary"]["lower_bound"], 3);
  EXPECT_EQ(document["summary"]["gap"], 0);
  EXPECT_EQ(document["summary"]["bars_per_stock"][0]["bars"], 3);
  // Keys in the documented order.
  EXPECT_EQ(render_json(report()).find("\"otpad\""), 4u);
}

TEST_F(Outputs, CsvHasOneRowPerPieceWithQuotedLabels) {
  std::istringstream csv(render_csv(report()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(csv, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u + 3 + 2 + 3);
  EXPECT_EQ(lines[0],
            "bar,stock,stock_length,stock_label,item,length,label,used,leftover,pattern,kept,kept_length,scrap");
  EXPECT_EQ(lines[1], "1,1,6000,\"rack, A\",1,2150,door frame,5516.5,483.5,1,no,0,483.5");
  EXPECT_EQ(lines[4], "2,1,6000,\"rack, A\",2,1200.5,,2414,3586,2,no,0,3586");
  // The third bar repeats the first pattern.
  EXPECT_EQ(lines[6], "3,1,6000,\"rack, A\",1,2150,door frame,5516.5,483.5,1,no,0,483.5");
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(csv_field("door frame"), "door frame");
  EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
  EXPECT_EQ(csv_field("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csv_field(" padded"), "\" padded\"");
  EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
}

TEST(XmlText, EscapesMarkupAndDropsForbiddenCharacters) {
  EXPECT_EQ(xml_text("<a & \"b\" 'c'>"), "&lt;a &amp; &quot;b&quot; &apos;c&apos;&gt;");
  EXPECT_EQ(xml_text("bell\x07"), "bell\xEF\xBF\xBD");
  EXPECT_EQ(xml_text("×2"), "×2");
}

TEST_F(Outputs, SvgDrawsEachPatternOnceWithItsCount) {
  const std::string svg = render_svg(report());
  const auto count = [&](const std::string& needle) {
    std::size_t found = 0;
    for (std::size_t at = svg.find(needle); at != std::string::npos; at = svg.find(needle, at + 1)) ++found;
    return found;
  };
  EXPECT_EQ(count("<g class=\"pattern\""), 2u);
  EXPECT_EQ(count("data-count=\"2\" data-stock=\"1\" data-bars=\"1, 3\""), 1u);
  EXPECT_EQ(count("class=\"piece\" "), 3u + 2u);
  // Per pattern: the cuts between pieces, the trim's and the one freeing the leftover; plus the legend's.
  EXPECT_EQ(count("class=\"kerf\""), (2u + 2u) + (1u + 2u) + 1u);
  EXPECT_EQ(count("class=\"trim\""), 2u + 1u);
  EXPECT_EQ(count("class=\"swatch\""), 2u);  // the two item kinds cut
  EXPECT_NE(svg.find("<title>leftover 483.5: final saw cut 3, scrap</title>"), std::string::npos);
  EXPECT_NE(svg.find("Pattern 1 ×2 · bars 1, 3 · stock 1: 6000 rack, A · leftover 483.5 scrap"), std::string::npos);
}

}  // namespace
}  // namespace krelvo::cli
