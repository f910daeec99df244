#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "automation/variant.hpp"
#include "raises_automation_error.hpp"
#include "variant_printer.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

TEST(Bstr, NullIsNotEmptyButReadsAsEmptyText) {
  const Bstr null_string;
  const Bstr empty_string(u"");
  EXPECT_TRUE(null_string.is_null());
  EXPECT_FALSE(empty_string.is_null());
  EXPECT_FALSE(null_string == empty_string);
  EXPECT_EQ(null_string.str(), u"");
}

TEST(Bstr, Utf8RoundTripKeepsEveryPlane) {
  for (const char* text : {"", "abc", "\xC4\x8D\xC5\xA1\xC5\xBE", "\xF0\x9F\x98\x80 x", "\xE2\x82\xAC"}) {
    EXPECT_EQ(Bstr::from_utf8(text).to_utf8(), text);
  }
  EXPECT_EQ(Bstr::from_utf8("\xF0\x9F\x98\x80").size(), 2u);  // one surrogate pair
}

TEST(Bstr, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Bstr::from_utf8("a\xFF"
                            "b")
                .str(),
            u"a\uFFFDb");
  EXPECT_EQ(Bstr::from_utf8("\xC0\xAF").str(), u"\uFFFD\uFFFD");  // overlong '/'
  EXPECT_EQ(Bstr::from_utf8("\xE2\x82").str(), u"\uFFFD");        // cut short
}

TEST(VariantBool, TrueIsMinusOneAndAnyNonZeroReadsTrue) {
  EXPECT_EQ(VariantBool::from(true).value, -1);
  EXPECT_TRUE(static_cast<bool>(VariantBool(int16_t{1})));
  EXPECT_FALSE(static_cast<bool>(kFalse));
}

TEST(SafeArray, KeepsAnyLowerBound) {
  for (int32_t lbound : {-5, 0, 1, 7}) {
    SafeArray<int32_t> array(lbound, lbound + 2);
    array[lbound + 2] = 42;
    EXPECT_EQ(array.lbound(), lbound);
    EXPECT_EQ(array.ubound(), lbound + 2);
    EXPECT_EQ(array.at(lbound + 2), 42);
    EXPECT_THROW(array.at(lbound - 1), AutomationError);
    EXPECT_THROW(array.at(lbound + 3), AutomationError);
  }
}

TEST(SafeArray, OutOfBoundsIsSubscriptOutOfRange) {
  SafeArray<double> array(1, {2.0, 3.0});
  EXPECT_THAT([&] { array.at(0); }, RaisesAutomationError(9, "Subscript out of range"));
}

TEST(SafeArray, NoArrayHasNoBoundsAndNoElements) {
  SafeArray<Variant> none;
  EXPECT_FALSE(none.has_array());
  EXPECT_EQ(none.size(), 0u);
  EXPECT_THROW(none.lbound(), AutomationError);
  EXPECT_THROW(none.at(0), AutomationError);
}

TEST(SafeArray, SeveralDimensionsRefuseSingleIndexAccess) {
  auto matrix = SafeArray<double>::with_bounds({{0, 2}, {0, 3}});
  EXPECT_EQ(matrix.dimensions(), 2u);
  EXPECT_EQ(matrix.size(), 6u);
  EXPECT_THROW(matrix.at(0), AutomationError);
  EXPECT_THROW(matrix.ubound(), AutomationError);
}

TEST(SafeArray, CopiesAreDeep) {
  SafeArray<int32_t> original(0, {1, 2, 3});
  SafeArray<int32_t> copy = original;
  copy[1] = 99;
  EXPECT_EQ(original[1], 2);
  SafeArray<int32_t> grown = original;
  grown.redim_preserve(4);
  EXPECT_EQ(grown.ubound(), 4);
  EXPECT_EQ(grown[2], 3);
  EXPECT_EQ(grown[4], 0);
}

TEST(Variant, ReportsAutomationTypeNumbers) {
  EXPECT_EQ(Variant().type(), VarType::kEmpty);
  EXPECT_EQ(Variant(Null{}).type(), VarType::kNull);
  EXPECT_EQ(static_cast<int>(Variant(int16_t{1}).type()), 2);
  EXPECT_EQ(static_cast<int>(Variant(int32_t{1}).type()), 3);
  EXPECT_EQ(static_cast<int>(Variant(1.5).type()), 5);
  EXPECT_EQ(static_cast<int>(Variant(Bstr(u"x")).type()), 8);
  EXPECT_EQ(static_cast<int>(Variant(kTrue).type()), 11);
  EXPECT_EQ(static_cast<int>(Variant(SafeArray<Variant>()).type()), 0x200C);
  EXPECT_EQ(static_cast<int>(Variant(SafeArray<int32_t>(0, 1)).type()), 0x2003);
}

TEST(Variant, NestedArraysCopyDeeply) {
  SafeArray<Variant> plan(0, 1);
  plan[1] = Variant(SafeArray<int32_t>(0, {0, 3}));
  Variant original(plan);
  Variant copy = original;
  copy.get<SafeArray<Variant>>()[1].get<SafeArray<int32_t>>()[1] = 7;
  EXPECT_EQ(original.get<SafeArray<Variant>>()[1].get<SafeArray<int32_t>>()[1], 3);
}

TEST(Variant, WrongTypeAccessIsTypeMismatch) {
  const Variant text(Bstr(u"12"));
  EXPECT_THAT([&] { (void)text.get<int32_t>(); }, RaisesAutomationError(13));
}

TEST(Variant, PrintsAsAReadableValue) {
  const std::pair<Variant, std::string> cases[] = {
      {Variant(), "Empty"},
      {Variant(Null{}), "Null"},
      {Variant(int16_t{-3}), "Integer -3"},
      {Variant(int32_t{2147483647}), "Long 2147483647"},
      {Variant(0.1), "Double 0.1"},
      {Variant(kTrue), "Boolean True"},
      {Variant(Bstr(u"\u00e9t\u00e9")), "String \"\u00e9t\u00e9\""},
      {Variant(Bstr::null()), "String null"},
      {Variant(ObjectRef()), "Object Nothing"},
      {Variant(SafeArray<double>()), "Double() (no array)"},
      {Variant(SafeArray<int32_t>(1, {4, 5})), "Long() (1 to 2) {4, 5}"},
      {Variant(SafeArray<Variant>(0, {Variant(), Variant(SafeArray<int16_t>(0, {7}))})),
       "Variant() (0 to 1) {Empty, Integer() (0 to 0) {7}}"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(::testing::PrintToString(value), text);
}

}  // namespace
}  // namespace automation
