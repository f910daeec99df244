#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "diagram.hpp"
#include "input_checks.hpp"
#include "item_colours.hpp"
#include "offcut_keeping.hpp"
#include "output_html.hpp"
#include "output_svg.hpp"

namespace krelvo::cli {
namespace {

TEST(FitText, KeepsWhatFitsAndMarksTheCut) {
  struct Case {
    std::string text;
    double width;
    std::string expected;
  };
  // 7 px a character and 4 px of padding.
  for (const Case& test :
       {Case{"door jamb", 67, "door jamb"}, Case{"door jamb", 66, "door ja…"}, Case{"door jamb", 18, "d…"},
        Case{"door jamb", 17, ""}, Case{"čćžšđ", 38, "čćž…"}, Case{"", 0, ""}}) {
    SCOPED_TRACE(test.text + " in " + std::to_string(test.width));
    EXPECT_EQ(fit_text(test.text, test.width), test.expected);
  }
}

TEST(FitText, NeverWiderThanItsBoxAndAlwaysWholeCharacters) {
  const std::string text = "Fensterbank außen – Eiche «massiv»";
  for (double width = 0.0; width < 300.0; width += 0.5) {
    const std::string fitted = fit_text(text, width);
    ASSERT_TRUE(is_valid_utf8(fitted)) << width;
    if (!fitted.empty()) ASSERT_LE(text_width(fitted) + 4.0, width) << fitted;
  }
}

TEST(BarNumbersText, JoinsRunsOfThreeOrMore) {
  const std::vector<std::pair<std::vector<std::size_t>, std::string>> cases = {
      {{0}, "1"}, {{0, 1}, "1, 2"}, {{0, 1, 2, 6}, "1–3, 7"}, {{0, 2, 3, 4, 8, 9}, "1, 3–5, 9, 10"}};
  for (const auto& [bars, text] : cases) EXPECT_EQ(bar_numbers_text(bars), text);
}

Problem problem_with_kinds(std::size_t kinds) {
  Problem problem{{{10000, 0, "", "s"}}, {}, "p", "p"};
  for (std::size_t kind = 0; kind < kinds; ++kind)
    problem.items.push_back({100.0 + static_cast<double>(kind), 1, "", "i"});
  return problem;
}

TEST(ItemColours, EveryKindItsOwnColourWhileThePaletteLasts) {
  const Problem problem = problem_with_kinds(kPaletteSize);
  const std::vector<std::string> colours = item_colours(problem, {});
  EXPECT_EQ(std::set<std::string>(colours.begin(), colours.end()).size(), kPaletteSize);
}

TEST(ItemColours, NeighbouringPiecesOfDifferentKindsNeverShareAColour) {
  std::mt19937 random(11);
  for (const std::size_t kinds : {13u, 30u, 200u}) {
    const Problem problem = problem_with_kinds(kinds);
    CuttingPlan plan;
    std::uniform_int_distribution<std::size_t> kind(0, kinds - 1);
    for (int bar = 0; bar < 60; ++bar) {
      plan.bars.push_back({});
      for (int piece = 0; piece < 8; ++piece) plan.bars.back().pieces.push_back(kind(random));
    }
    const std::vector<std::string> colours = item_colours(problem, plan);
    ASSERT_EQ(colours.size(), kinds);
    for (const std::string& colour : colours) ASSERT_TRUE(std::regex_match(colour, std::regex("#[0-9a-f]{6}")));
    EXPECT_GE(std::set<std::string>(colours.begin(), colours.end()).size(), kPaletteSize)
        << "the whole palette is used";
    for (const CutBar& bar : plan.bars)
      for (std::size_t at = 1; at < bar.pieces.size(); ++at)
        if (bar.pieces[at] != bar.pieces[at - 1])
          EXPECT_NE(colours[bar.pieces[at]], colours[bar.pieces[at - 1]]) << kinds << " kinds";
  }
}

struct Shape {
  std::string css_class;
  double x;
  double width;
  std::string title;
};

// The rectangles of one pattern in drawing order.
std::vector<Shape> pattern_shapes(const std::string& svg, int pattern) {
  const std::string start = "<g class=\"pattern\" data-pattern=\"" + std::to_string(pattern) + "\"";
  const std::size_t begin = svg.find(start);
  const std::string group = svg.substr(begin, svg.find("</g>", begin) - begin);
  const std::regex rect("<rect class=\"(\\w+)\" x=\"([\\d.]+)\" y=\"[\\d.]+\" width=\"([\\d.]+)\"[^>]*><title>([^<]*)");
  std::vector<Shape> shapes;
  for (std::sregex_iterator it(group.begin(), group.end(), rect), end; it != end; ++it)
    shapes.push_back({(*it)[1], std::stod((*it)[2]), std::stod((*it)[3]), (*it)[4]});
  return shapes;
}

class DrawnPlan : public testing::Test {
 protected:
  // One 6000 bar, kerf 3, trim 10: 2150 x2 and 1200.5 leave 483.5, of which 480.5 is kept.
  DrawnPlan(std::vector<Kind> items, OptimizerPlan optimizer, double keep = 400.0)
      : problem_{{{6000, 0, "rack", "s"}}, std::move(items), "p.json", "p.json"},
        transformed_(transform(problem_, {3.0, 10.0})),
        plan_(map_back(problem_, transformed_, optimizer)) {
    keep_offcuts(plan_, transformed_, keep);
    summary_ = summarize(problem_, transformed_, plan_);
  }
  DrawnPlan() : DrawnPlan({{2150, 2, "door frame", "i1"}, {1200.5, 1, "", "i2"}}, {0.0, {{1, 2}}}) {}

  Report report() const {
    return {problem_, transformed_, plan_, summary_, false, {"jaka", "fixed", 1, false, 400, ""}};
  }

  Problem problem_;
  TransformedProblem transformed_;
  CuttingPlan plan_;
  PlanSummary summary_;
};

TEST_F(DrawnPlan, CutsTrimAndKeptOffcutSitWhereTheFiguresPutThem) {
  const std::vector<Shape> shapes = pattern_shapes(render_svg(report()), 1);
  const double scale = Diagram::kDrawingWidth / 6000.0;
  // class, start and length in the user's unit; the trim holds its own saw cut.
  const std::vector<std::tuple<std::string, double, double>> expected = {
      {"stock", 0, 6000},    {"trim", 0, 7},    {"kerf", 7, 3},          {"piece", 10, 2150}, {"kerf", 2160, 3},
      {"piece", 2163, 2150}, {"kerf", 4313, 3}, {"piece", 4316, 1200.5}, {"kerf", 5516.5, 3}, {"kept", 5519.5, 480.5}};
  ASSERT_EQ(shapes.size(), expected.size());
  for (std::size_t index = 0; index < shapes.size(); ++index) {
    const auto& [css_class, start, length] = expected[index];
    SCOPED_TRACE(css_class + " at " + std::to_string(start));
    EXPECT_EQ(shapes[index].css_class, css_class);
    EXPECT_NEAR(shapes[index].x, Diagram::kMargin + start * scale, 0.006);
    // Saw cuts are drawn at least a pixel wide to stay visible.
    EXPECT_NEAR(shapes[index].width, css_class == "kerf" ? std::max(1.0, length * scale) : length * scale, 0.006);
  }
  EXPECT_EQ(shapes.back().title, "leftover 483.5: final saw cut 3, offcut 480.5 kept");
}

TEST_F(DrawnPlan, LegendCoversEveryItemKindInItsColour) {
  const std::string svg = render_svg(report());
  for (const std::string item : {"1", "2"}) {
    const std::regex piece_fill("class=\"piece\"[^>]*fill=\"(#\\w+)\" data-item=\"" + item + "\"");
    const std::regex swatch_fill("class=\"swatch\"[^>]*fill=\"(#\\w+)\" data-item=\"" + item + "\"");
    std::smatch piece;
    std::smatch swatch;
    ASSERT_TRUE(std::regex_search(svg, piece, piece_fill)) << item;
    ASSERT_TRUE(std::regex_search(svg, swatch, swatch_fill)) << item;
    EXPECT_EQ(piece[1], swatch[1]);
  }
  EXPECT_NE(svg.find(">#1 2150 door frame</text>"), std::string::npos);
}

class NarrowPieces : public DrawnPlan {
 protected:
  // On a 6000 bar a pixel is 6 units: 130 is 21.7 px (room for "#2", not "130"), 40 is 6.7 px.
  NarrowPieces()
      : DrawnPlan({{3000, 1, "a label far too long for its piece, which is half of a bar of six metres long", "i1"},
                   {130, 1, "", "i2"},
                   {40, 2, "", "i3"}},
                  {0.0, {{2, 1, 1}}}, 0.0) {}
};

TEST_F(NarrowPieces, ShowNumbersOrLeaderLinesAndShortenLabels) {
  const std::string svg = render_svg(report());
  const auto count = [&](const std::string& needle) {
    std::size_t found = 0;
    for (std::size_t at = svg.find(needle); at != std::string::npos; at = svg.find(needle, at + 1)) ++found;
    return found;
  };
  EXPECT_EQ(count("class=\"number\">#2</text>"), 1u);
  EXPECT_EQ(count("class=\"number\">#3</text>"), 2u);
  EXPECT_EQ(count("class=\"leader\""), 2u);
  EXPECT_EQ(count(">130</text>"), 0u);
  EXPECT_NE(
      svg.find(
          "<title>3000 a label far too long for its piece, which is half of a bar of six metres long (item 1)</title>"),
      std::string::npos);
  const std::regex shortened(">(a label[^<]*…)</text>");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(svg, match, shortened));
  EXPECT_LE(text_width(match[1].str()) + 4.0, 3000.0 * Diagram::kDrawingWidth / 6000.0);
}

TEST_F(DrawnPlan, LongStockLabelsWidenTheDrawingInsteadOfBeingCut) {
  problem_.stock[0].label = std::string(300, 'x');
  const std::string svg = render_svg(report());
  EXPECT_NE(svg.find(problem_.stock[0].label + " · leftover"), std::string::npos);
  const Report drawn = report();
  const Diagram diagram(drawn);
  EXPECT_GE(diagram.width(), text_width(diagram.heading(0)) + 2.0 * Diagram::kMargin);
}

TEST_F(DrawnPlan, HtmlReportIsSelfContainedWithAFigureAndTickBoxesPerPattern) {
  problem_.items[0].label = "<b>frame</b>";
  const std::string html = render_html(report(), "2026-01-02 03:04");
  for (const std::string needle : {"src=", "href=", "url(", "@import", "<script", "<b>frame"})
    EXPECT_EQ(html.find(needle), std::string::npos) << needle;
  EXPECT_NE(html.find("&lt;b&gt;frame"), std::string::npos);
  EXPECT_NE(html.find("id=\"pattern-1\""), std::string::npos);
  EXPECT_NE(html.find("class=\"pattern-row\" data-pattern=\"1\""), std::string::npos);
  EXPECT_NE(html.find("<span class=\"tick\" title=\"bar 1\"></span>"), std::string::npos);
  EXPECT_NE(html.find("2026-01-02 03:04"), std::string::npos);
  EXPECT_NE(html.find("@page{size:A4"), std::string::npos);
  EXPECT_NE(html.find("<td class=\"figure\">480.5</td>"), std::string::npos) << "the offcut to keep";
}

TEST_F(DrawnPlan, OneBarIsOneBarAndIdenticalPiecesAreCountedTogether) {
  const std::string svg = render_svg(report());
  const std::string html = render_html(report(), "2026-01-02 03:04");
  EXPECT_NE(svg.find("Cutting plan: 1 bar, waste"), std::string::npos);
  EXPECT_NE(html.find("<h1>Cutting plan: 1 bar</h1>"), std::string::npos);
  for (const std::string& page : {svg, html}) EXPECT_EQ(page.find("1 bars"), std::string::npos);
  EXPECT_NE(html.find("2150 (door frame) ×2"), std::string::npos);
}

}  // namespace
}  // namespace krelvo::cli
