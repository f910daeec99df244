#include <gmock/gmock.h>

#include <limits>
#include <string>
#include <vector>

#include "automation/error.hpp"
#include "ini_fixture.hpp"
#include "raises_automation_error.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using test_support::RaisesAutomationError;

struct IntCase {
  std::string value;     // the value text in the file
  int32_t expected = 0;  // when no error
  int32_t error = 0;     // automation error number, 0 for none
};

TEST_F(IniTest, GetIntValRoundsHalvesToEvenAndFailsOnNoNumber) {
  const std::vector<IntCase> cases = {
      {"12", 12},
      {" -12 ", -12},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"0.5", 0},
      {"1e3", 1000},
      {"2147483647", 2147483647},
      {"-2147483648.5", std::numeric_limits<int32_t>::min()},
      {"2147483647.5", 0, automation::kErrOverflow},
      {"3000000000", 0, automation::kErrOverflow},
      {"1e400", 0, automation::kErrOverflow},
      {"abc", 0, automation::kErrTypeMismatch},
      {"", 0, automation::kErrTypeMismatch},
      {"1,000", 0, automation::kErrTypeMismatch},  // the C locale has no thousands separator
  };
  for (const IntCase& number : cases) {
    const Bstr path = ini_file("[n]\r\nv=" + number.value + "\r\n");
    if (number.error == 0)
      EXPECT_EQ(ini_->GetIntVal(u"n", u"v", u"99", path), number.expected) << number.value;
    else
      EXPECT_THAT([&] { ini_->GetIntVal(u"n", u"v", u"99", path); },
                  RaisesAutomationError(number.error, ::testing::HasSubstr(number.value)));
  }
}

TEST_F(IniTest, GetIntValOfAMissingKeyConvertsTheDefault) {
  const Bstr path = ini_file("[n]\r\n");
  EXPECT_EQ(ini_->GetIntVal(u"n", u"missing", u" 42 ", path), 42);
  EXPECT_THROW(ini_->GetIntVal(u"n", u"missing", u"", path), automation::AutomationError);
}

TEST_F(IniTest, GetIntValOnAMissingFileShowsTheBoxThenFailsWithTypeMismatch) {
  const Bstr path = Bstr::from_utf8(folder_.file("missing.ini"));
  EXPECT_THAT([&] { ini_->GetIntVal(u"n", u"v", u"5", path); }, RaisesAutomationError(automation::kErrTypeMismatch));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find(u"'GetKeyVal'"), std::u16string::npos);
}

struct DoubleCase {
  std::string value;
  const char16_t* default_text;
  int32_t expected;
};

TEST_F(IniTest, GetDoubleValFallsBackToTheDefaultAndNeverFails) {
  const std::vector<DoubleCase> cases = {
      {"2.5", u"0", 2},        {"3.5", u"0", 4},     {"1e3", u"0", 1000},   {"-7.5", u"0", -8},
      {"abc", u"7", 7},        {"abc", u"6.5", 6},   {"abc", u"x", 0},      {"", u"3", 3},
      {"3000000000", u"5", 5}, {"1e400", u"9e9", 0}, {"abc", u"\u4E2D", 0},
  };
  for (const DoubleCase& number : cases) {
    const Bstr path = ini_file("[n]\r\nv=" + number.value + "\r\n");
    EXPECT_EQ(ini_->GetDoubleVal(u"n", u"v", number.default_text, path), number.expected) << number.value;
  }
}

TEST_F(IniTest, GetDoubleValOnAMissingFileShowsTheBoxAndGivesTheDefault) {
  const Bstr path = Bstr::from_utf8(folder_.file("missing.ini"));
  EXPECT_EQ(ini_->GetDoubleVal(u"n", u"v", u"2.5", path), 2);
  EXPECT_EQ(ini_->GetDoubleVal(u"n", u"v", Bstr::null(), path), 0);
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].caption, u"INI File Not Found");
}

}  // namespace
}  // namespace drumel
