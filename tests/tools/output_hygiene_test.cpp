#include <gtest/gtest.h>

#include <cmath>

#include "memory_need.hpp"
#include "output_csv.hpp"
#include "output_svg.hpp"
#include "terminal_text.hpp"

namespace krelvo::cli {
namespace {

TEST(TerminalText, EscapesEveryControlCharacterAndStrayByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"door frame ×2", "door frame ×2"},
      {"\x1b]0;pwned\x07", "\\x1b]0;pwned\\x07"},
      {"two\nlines\r\tx", "two\\nlines\\r\\tx"},
      {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f"},
      {"c1 \xC2\x9B" "31m", "c1 \\u009b31m"},
      {"caf\xE9", "caf\\xe9"},
      {"\xE2\x82", "\\xe2\\x82"},
      {"no break\xC2\xA0space", "no break\xC2\xA0space"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(terminal_text(text), shown);
}

TEST(CsvLabel, NeutralisesFormulasAndQuotesWhatNeedsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""}, {"+1", "'+1"}, {"-1", "'-1"}, {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"}, {"a=b", "a=b"}, {"door, left", "\"door, left\""}, {"", ""},
  };
  for (const auto& [label, field] : cases) EXPECT_EQ(csv_label(label), field) << label;
}

TEST(XmlText, ReplacesWhatXmlCannotHold) {
  EXPECT_EQ(xml_text("a\x01z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(xml_text("\xEF\xBF\xBE|\xEF\xBF\xBF"), "\xEF\xBF\xBD|\xEF\xBF\xBD");
  EXPECT_EQ(xml_text("<&>\"'\t"), "&lt;&amp;&gt;&quot;&apos;\t");
  EXPECT_EQ(xml_text("\xEF\xBF\xBC"), "\xEF\xBF\xBC");  // U+FFFC is allowed
}

TEST(MemoryNeed, CountsEveryJobAndOnlyKindsWithDemand) {
  // 2000 pieces of 1000 on bars of 10000: at least 200 bars of 3 counts (two kinds and element 0).
  const OptimizerInput input{{1000, 2000}, {1000, 500}, {10000}, {0}};
  const double one_job = run_memory_bytes(input, 1);
  EXPECT_EQ(one_job, std::ceil((1000.0 * 1000 + 2000.0 * 500) / 10000) * 3 * 4 * 4);
  EXPECT_EQ(run_memory_bytes(input, 3), 3 * one_job);
}

TEST(MemoryNeed, RefusesRunsBeyondWhatIsAvailable) {
  EXPECT_FALSE(memory_refusal(1e9, 2e9, 1));
  EXPECT_FALSE(memory_refusal(1e12, std::nullopt, 1));
  EXPECT_EQ(memory_refusal(4.1e9, 2e9, 3),
            "the job needs about 4.1 GB of memory (3 jobs of 1.4 GB), but only 2.0 GB is available; run fewer "
            "--jobs or split the item list");
  EXPECT_EQ(memory_refusal(3e8, 1.5e8, 1),
            "the job needs about 300 MB of memory, but only 150 MB is available; split the item list into smaller "
            "jobs");
}

}  // namespace
}  // namespace krelvo::cli
