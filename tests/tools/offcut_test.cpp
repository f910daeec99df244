#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "automation/error.hpp"
#include "input_csv.hpp"
#include "input_json.hpp"
#include "offcut_keeping.hpp"
#include "offcut_rack.hpp"
#include "raises_input_error.hpp"

namespace krelvo::cli {
namespace {

// Bars of 1000 with kerf 5: a 600 piece leaves 400, two 300 pieces 395, an untouched bar 1000.
TEST(KeepOffcuts, TheCutThatFreesTheRestIsCountedOnlyWhenPiecesWereCut) {
  const Problem problem{{{1000, 0, "", "s"}}, {{600, 1, "", "a"}, {300, 2, "", "b"}}, "p", "p"};
  const TransformedProblem transformed = transform(problem, {5.0, 0.0});
  struct Case {
    double min_length;
    std::vector<double> kept;  // per bar
  };
  // Optimizer kinds ascending: 300, 600.
  const OptimizerPlan optimizer{0.0, {{0, 1}, {2, 0}}};
  for (const Case& test : {Case{0.0, {0, 0}}, Case{395.0, {395, 0}}, Case{395.0001, {0, 0}}, Case{390, {395, 390}},
                           Case{394.9999999999999, {395, 0}}}) {
    CuttingPlan plan = map_back(problem, transformed, optimizer);
    keep_offcuts(plan, transformed, test.min_length);
    SCOPED_TRACE(test.min_length);
    ASSERT_EQ(plan.bars.size(), test.kept.size());
    for (std::size_t bar = 0; bar < plan.bars.size(); ++bar)
      EXPECT_EQ(transformed.scale.to_user(plan.bars[bar].kept), test.kept[bar]) << "bar " << bar + 1;
  }
}

TEST(KeepOffcuts, AMinimumWithMoreDecimalsThanTheLengthsIsComparedExactly) {
  // Whole units of 0.1: the rests are 39.5 and 39.4.
  const Problem problem{{{100, 0, "", "s"}}, {{60.5, 1, "", "a"}, {60.6, 1, "", "b"}}, "p", "p"};
  const TransformedProblem transformed = transform(problem, {0.0, 0.0});
  ASSERT_EQ(transformed.scale.decimals(), 1);
  const OptimizerPlan optimizer{0.0, {{1, 0}, {0, 1}}};
  for (const auto& [min_length, kept] : std::vector<std::pair<double, int>>{
           {39.45, 1}, {39.4, 2}, {39.40000001, 1}, {39.5, 1}, {39.50000001, 0}, {0.00000001, 2}, {1e300, 0}}) {
    CuttingPlan plan = map_back(problem, transformed, optimizer);
    keep_offcuts(plan, transformed, min_length);
    EXPECT_EQ(std::count_if(plan.bars.begin(), plan.bars.end(), [](const CutBar& bar) { return bar.kept > 0.0; }), kept)
        << min_length;
  }
}

TEST(KeepOffcuts, TheMinimumSharesTheScaleSoItIsReportedAsGiven) {
  const Problem problem{{{1000, 0, "", "s"}}, {{600, 1, "", "a"}}, "p", "p"};
  const TransformedProblem transformed = transform(problem, {0.0, 0.0, 300.25});
  EXPECT_EQ(transformed.scale.format(transformed.keep_units), "300.25");
  EXPECT_THROW(transform(problem, {0.0, 0.0, 0.1234567}), automation::AutomationError);
}

TEST(KeepOffcuts, AnUntouchedBarIsKeptWhole) {
  CuttingPlan plan{{CutBar{0, {}, 0.0, 1000.0, 0.0}}};
  TransformedProblem transformed;
  transformed.kerf_units = 5.0;
  keep_offcuts(plan, transformed, 1000.0);
  EXPECT_EQ(plan.bars[0].kept, 1000.0);
}

class Rack : public testing::Test {
 protected:
  Rack() {
    rack_.path = "rack.csv";
    rack_.offcuts =
        parse_kinds_csv("length,quantity,label\n900,1,oak\n150,4,\n500,2,\n450,0,gone\n300,1,\n", "rack.csv").kinds;
    problem_ = {{{6000, 0, "bar", "s"}}, {{400, 3, "", "a"}, {250, 2, "", "b"}}, "p", "p"};
  }

  OffcutRack rack_;
  Problem problem_;
};

TEST_F(Rack, OffcutsGoFirstShortestFirstLeavingThoseTooShortOrEmpty) {
  const RackPlacement placement = place_offcuts(problem_, rack_, {0.0, 40.0});
  // 150 - 40 cannot hold the 250 piece; 450 has quantity 0; 300 - 40 = 260 holds it.
  EXPECT_EQ(placement.rack_entry, (std::vector<std::size_t>{4, 2, 0}));
  ASSERT_EQ(problem_.offcut_kinds, 3u);
  ASSERT_EQ(problem_.stock.size(), 4u);
  EXPECT_EQ(problem_.stock[0].length, 300);
  EXPECT_EQ(problem_.stock[0].label, "offcut");
  EXPECT_EQ(problem_.stock[2].label, "oak");
  EXPECT_EQ(problem_.stock[3].label, "bar");
  EXPECT_EQ(problem_.stock[1].quantity, 2);
}

TEST_F(Rack, AnOffcutExactlyAsLongAsThePieceAndTrimHoldsIt) {
  problem_.items = {{0.3, 1, "", "a"}};
  rack_.offcuts = {{0.4, 1, "", "r"}};
  EXPECT_EQ(place_offcuts(problem_, rack_, {0.0, 0.1}).rack_entry.size(), 1u);
}

TEST_F(Rack, UsedOffcutsComeOffAndKeptLeftoversGoOn) {
  const RackPlacement placement = place_offcuts(problem_, rack_, {0.0, 0.0});
  const TransformedProblem transformed = transform(problem_, {0.0, 0.0});
  // Stock kinds: 300, 500 x2, 900, 6000. Bars: 300 (250), 500 (400), 500 (400), 900 (400, 250), 6000 untouched.
  CuttingPlan plan{{CutBar{0, {1}, 250, 50, 0}, CutBar{1, {0}, 400, 100, 0}, CutBar{1, {0}, 400, 100, 0},
                    CutBar{2, {0, 1}, 650, 250, 0}, CutBar{3, {}, 0, 6000, 0}}};
  keep_offcuts(plan, transformed, 100.0);
  const PlanSummary summary = summarize(problem_, transformed, plan);
  const Report report{problem_, transformed, plan, summary, false, {}};
  const std::vector<Kind> after = rack_after(rack_, placement, report);
  std::vector<std::pair<double, int32_t>> listed;
  for (const Kind& kind : after) listed.emplace_back(kind.length, kind.quantity);
  // 900 and the 500s are used, 300 too; 150 stays; 100 x2, 250 and 6000 are new.
  EXPECT_EQ(listed, (std::vector<std::pair<double, int32_t>>{{150, 4}, {100, 2}, {250, 1}, {6000, 1}}));
}

TEST_F(Rack, KeptLeftoversJoinAnEntryOfTheSameLengthWithoutLabel) {
  const RackPlacement placement = place_offcuts(problem_, rack_, {0.0, 0.0});
  const TransformedProblem transformed = transform(problem_, {0.0, 0.0});
  // A 6000 bar of 14 x 400 and 250 whose rest of 150 is kept.
  std::vector<std::size_t> pieces(14, 0);
  pieces.push_back(1);
  CuttingPlan plan{{CutBar{3, pieces, 5850, 150, 150}}};
  const PlanSummary summary = summarize(problem_, transformed, plan);
  const std::vector<Kind> after = rack_after(rack_, placement, {problem_, transformed, plan, summary, false, {}});
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[1].length, 150);
  EXPECT_EQ(after[1].quantity, 5);
}

TEST_F(Rack, WrittenRackReadsBackInBothFormats) {
  const std::vector<Kind> offcuts = {{1200, 2, "oak, old", ""}, {350.5, 1, "", ""}};
  for (const bool json : {false, true}) {
    rack_.json = json;
    const std::string text = render_rack(rack_, offcuts);
    const std::vector<Kind> read =
        json ? parse_kind_list_json(text, "rack.json", "offcuts") : parse_kinds_csv(text, "rack.csv").kinds;
    SCOPED_TRACE(text);
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t index = 0; index < read.size(); ++index) {
      EXPECT_EQ(read[index].length, offcuts[index].length);
      EXPECT_EQ(read[index].quantity, offcuts[index].quantity);
      EXPECT_EQ(read[index].label, offcuts[index].label);
    }
  }
  rack_.json = true;
  EXPECT_NE(render_rack(rack_, offcuts).find("\"length\": 1200,"), std::string::npos) << "whole lengths as integers";
}

TEST(RackFile, MissingFileIsAnEmptyRackOnlyWhenItMayBeCreated) {
  const std::string path = testing::TempDir() + "no_such_rack.csv";
  const OffcutRack rack = read_offcut_rack(path, true);
  EXPECT_FALSE(rack.existed);
  EXPECT_TRUE(rack.offcuts.empty());
  EXPECT_THROW(read_offcut_rack(path, false), automation::AutomationError);
}

TEST(RackFile, JsonRackRefusesOtherKeys) {
  EXPECT_THAT([] { parse_kind_list_json(R"({"stock": []})", "rack.json", "offcuts"); },
              RaisesInputError("rack.json: unknown key \"stock\" (expected offcuts)"));
  EXPECT_THAT(
      [] { parse_kind_list_json(R"({"offcuts": [{"length": 5, "quantity": 1, "length": 6}]})", "r", "offcuts"); },
      RaisesInputError("r: offcut 1: the key \"length\" appears more than once"));
  EXPECT_THAT([] { parse_kind_list_json(R"({"offcuts": [{"length": 1e999, "quantity": 1}]})", "r", "offcuts"); },
              RaisesInputError("r: offcut 1: the number 1e999 is too large"));
  const std::vector<Kind> read =
      parse_kind_list_json(R"({"offcuts": [{"length": 5.10, "quantity": 1}]})", "r", "offcuts");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].length_text, "5.10") << "kept as written, for exact units";
}

TEST(DropUntouchedOffcuts, OnlyEmptyBarsOfTheRackLeave) {
  Problem problem;
  problem.offcut_kinds = 2;
  CuttingPlan plan{{CutBar{0, {0}, 1, 1, 0}, CutBar{1, {}, 0, 9, 0}, CutBar{2, {}, 0, 9, 0}}};
  drop_untouched_offcuts(plan, problem);
  ASSERT_EQ(plan.bars.size(), 2u);
  EXPECT_EQ(plan.bars[0].stock, 0u);
  EXPECT_EQ(plan.bars[1].stock, 2u);
}

}  // namespace
}  // namespace krelvo::cli
