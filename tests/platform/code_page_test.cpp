#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/code_page.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

TEST(AnsiCodePage, DefaultIsWindows1250) {
  EXPECT_EQ(ansi_code_page().number(), 1250u);
  EXPECT_EQ(to_ansi(u"\u010D"), "\xE8");  // c with caron
  EXPECT_EQ(from_ansi("\x8A"), u"\u0160");
  EXPECT_EQ(to_ansi(u"abc"), "abc");
}

TEST(AnsiCodePage, CharactersOutsideBecomeQuestionMarks) {
  EXPECT_EQ(to_ansi(u"\u00E6\u4E2D\U0001F600"), "????");  // the emoji is two code units
  EXPECT_EQ(ansi_round_trip(u"a\u4E2Db"), u"a?b");
}

TEST(AnsiCodePage, EveryByteSurvivesReadAndWrite) {
  std::string all_bytes;
  for (int value = 0; value < 256; ++value) all_bytes.push_back(static_cast<char>(value));
  const std::u16string text = from_ansi(all_bytes);
  EXPECT_EQ(to_ansi(text), all_bytes);
  for (const char16_t undefined : {u'\x81', u'\x83', u'\x88', u'\x90', u'\x98'}) EXPECT_EQ(text[undefined], undefined);
}

TEST(AnsiCodePage, HostCanSwitchAndRestore) {
  set_ansi_code_page(1252);
  EXPECT_EQ(to_ansi(u"\u00E6"), "\xE6");
  EXPECT_EQ(to_ansi(u"\u010D"), "?");
  set_ansi_code_page(kDefaultAnsiCodePage);
  EXPECT_EQ(to_ansi(u"\u010D"), "\xE8");
}

// Runs are converted in blocks with an ASCII shortcut: every length and
// every place of a character beyond ASCII must give what one unit at a
// time gives, the tail after the last whole block included.
TEST(AnsiCodePage, RunsConvertAsUnitByUnit) {
  const AnsiCodePage& page = ansi_code_page();
  for (std::size_t length = 0; length <= 50; ++length) {
    for (std::size_t special = 0; special <= length; ++special) {
      std::u16string text(length, u'a');
      for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char16_t>(u' ' + (i * 7) % 95);
      if (special < length) text[special] = (special % 2 == 0) ? u'\u010D' : u'\u4E2D';
      std::string expected;
      for (const char16_t unit : text) expected.push_back(static_cast<char>(page.to_ansi(unit)));
      ASSERT_EQ(to_ansi(text), expected) << length << " " << special;
      std::u16string back;
      for (const char byte : expected) back.push_back(page.to_unicode(static_cast<uint8_t>(byte)));
      ASSERT_EQ(from_ansi(expected), back) << length << " " << special;
    }
  }
}

// A code page that moves ASCII (EBCDIC) gets no shortcut.
TEST(AnsiCodePage, CodePagesThatMoveAsciiConvertEveryUnit) {
  set_ansi_code_page(1140);
  const std::u16string text(40, u'a');
  const std::string converted = to_ansi(text);
  set_ansi_code_page(kDefaultAnsiCodePage);
  EXPECT_EQ(converted, std::string(40, '\x81'));
  set_ansi_code_page(1140);
  const std::u16string read = from_ansi(std::string(40, 'a'));
  set_ansi_code_page(kDefaultAnsiCodePage);
  EXPECT_EQ(read, std::u16string(40, u'/'));
}

TEST(AnsiCodePage, UnknownOrMultiByteCodePagesAreRefused) {
  for (const uint32_t number : {12345u, 932u}) {
    EXPECT_THAT([&] { set_ansi_code_page(number); }, RaisesAutomationError(kErrInvalidProcedureCall)) << number;
  }
  EXPECT_EQ(ansi_code_page().number(), 1250u);
}

TEST(UpperCase, MapsOneCodeUnitForOne) {
  const struct {
    std::u16string_view text;
    std::u16string_view upper;
  } cases[] = {
      {u"", u""},
      {u"abc xyz 09", u"ABC XYZ 09"},
      {u"\u010D\u0161\u017E\u0107\u0111", u"\u010C\u0160\u017D\u0106\u0110"},  // Croatian letters
      {u"\u00DF", u"\u00DF"},                                                  // no one-unit capital
      {u"\u00FF", u"\u0178"},
      {u"\U0001F600a", u"\U0001F600A"},  // a surrogate pair stays as it is
  };
  for (const auto& c : cases) EXPECT_EQ(upper_case(c.text), c.upper);
}

}  // namespace
}  // namespace automation
