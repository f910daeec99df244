#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "automation/coercion.hpp"
#include "raises_automation_error.hpp"
#include "variant_printer.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

struct CoercionCase {
  const char* name;
  Variant input;
  VarType target;
  Variant expected;  // ignored when an error is expected
  int32_t error = 0;
};

void PrintTo(const CoercionCase& test_case, std::ostream* out) { *out << test_case.name; }

Variant text(const char16_t* value) { return Variant(Bstr(value)); }

std::vector<CoercionCase> coercion_cases() {
  const VarType kI2 = VarType::kI2, kI4 = VarType::kI4, kR8 = VarType::kR8, kBool = VarType::kBool,
                kBstr = VarType::kBstr;
  return {
      {"LongFitsInteger", int32_t{-32768}, kI2, int16_t{-32768}},
      {"LongTooBigForInteger", int32_t{40000}, kI2, {}, kErrOverflow},
      {"DoubleRoundsHalfDown", 2.5, kI4, int32_t{2}},
      {"DoubleRoundsHalfUp", 3.5, kI4, int32_t{4}},
      {"NegativeHalfToEven", -2.5, kI2, int16_t{-2}},
      {"DoubleRoundingPastLong", 2147483647.5, kI4, {}, kErrOverflow},
      {"NaNIsNoLong", std::numeric_limits<double>::quiet_NaN(), kI4, {}, kErrOverflow},
      {"TextToLong", text(u"12"), kI4, int32_t{12}},
      {"TextWithBlanksRounds", text(u" 7.5 "), kI4, int32_t{8}},
      {"SignedText", text(u"+4"), kI4, int32_t{4}},
      {"TextNoNumber", text(u"abc"), kI4, {}, kErrTypeMismatch},
      {"EmptyTextNoNumber", text(u""), kR8, {}, kErrTypeMismatch},
      {"InfinityTextNoNumber", text(u"inf"), kR8, {}, kErrTypeMismatch},
      {"TrailingGarbage", text(u"12kg"), kI4, {}, kErrTypeMismatch},
      {"TextTooBigForInteger", text(u"70000"), kI2, {}, kErrOverflow},
      {"TextTooBigForDouble", text(u"1e400"), kR8, {}, kErrOverflow},
      {"TextToDouble", text(u"-3.25"), kR8, -3.25},
      {"UnderflowIsZero", text(u"1e-400"), kR8, 0.0},
      {"TrueIsMinusOne", kTrue, kI4, int32_t{-1}},
      {"TrueAsDouble", kTrue, kR8, -1.0},
      {"TrueAsText", kTrue, kBstr, text(u"True")},
      {"FalseAsText", kFalse, kBstr, text(u"False")},
      {"ZeroIsFalse", int32_t{0}, kBool, kFalse},
      {"FractionIsTrue", 0.1, kBool, kTrue},
      {"TextTrueAnyCase", text(u"TRUE"), kBool, kTrue},
      {"TextFalse", text(u"false"), kBool, kFalse},
      {"NumericTextAsBool", text(u"2"), kBool, kTrue},
      {"WordIsNoBool", text(u"yes"), kBool, {}, kErrTypeMismatch},
      {"EmptyIsZero", Variant(), kI4, int32_t{0}},
      {"EmptyIsFalse", Variant(), kBool, kFalse},
      {"EmptyIsNullString", Variant(), kBstr, Variant(Bstr::null())},
      {"NullIsNoNumber", Variant(Null{}), kI4, {}, kErrTypeMismatch},
      {"DoubleAsText", 0.1, kBstr, text(u"0.1")},
      {"FifteenDigits", 1.0 / 3.0, kBstr, text(u"0.333333333333333")},
      {"LargeDoubleAsText", 1e20, kBstr, text(u"1E+20")},
      {"LongAsText", int32_t{-5}, kBstr, text(u"-5")},
      {"ObjectIsNoNumber", Variant(ObjectRef()), kI4, {}, kErrTypeMismatch},
      {"ScalarIsNoArray", int32_t{5}, array_of(kR8), {}, kErrTypeMismatch},
      {"EmptyIsNoArray", Variant(), array_of(kR8), {}, kErrTypeMismatch},
      {"ArrayIsNoScalar", SafeArray<double>(0, {1.0}), kR8, {}, kErrTypeMismatch},
      {"ArrayElementWiseKeepsBounds", SafeArray<Variant>(5, {int32_t{1}, 2.6, text(u"3")}), array_of(kI4),
       SafeArray<int32_t>(5, {1, 3, 3})},
      {"ArrayElementNoNumber", SafeArray<Variant>(0, {int32_t{1}, text(u"x")}), array_of(kI4), {}, kErrTypeMismatch},
      {"ArrayElementOverflow", SafeArray<double>(0, {1e10}), array_of(kI4), {}, kErrOverflow},
      {"ArrayToVariants", SafeArray<int32_t>(1, {7, 8}), array_of(VarType::kVariant),
       SafeArray<Variant>(1, {int32_t{7}, int32_t{8}})},
      {"NoArrayStaysNoArray", SafeArray<Variant>(), array_of(kR8), SafeArray<double>()},
  };
}

class Coercion : public testing::TestWithParam<CoercionCase> {};

TEST_P(Coercion, FollowsTheAutomationRules) {
  const CoercionCase& c = GetParam();
  if (c.error != 0) {
    EXPECT_THAT([&] { coerce(c.input, c.target); }, RaisesAutomationError(c.error));
    return;
  }
  const Variant result = coerce(c.input, c.target);
  EXPECT_EQ(result.type(), c.target);
  EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Coercion, testing::ValuesIn(coercion_cases()),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(Coercion, VariantTargetKeepsTheValueAndItsType) {
  for (const Variant& value : {Variant(int16_t{3}), Variant(Bstr(u"x")), Variant(Null{}), Variant()})
    EXPECT_EQ(coerce(value, VarType::kVariant), value);
}

TEST(Coercion, ErrorsSayWhatFailed) {
  EXPECT_THAT([] { coerce(Variant(Bstr(u"abc")), VarType::kI4); },
              RaisesAutomationError(kErrTypeMismatch,
                                    testing::AllOf(testing::HasSubstr("\"abc\""), testing::HasSubstr("Long"))));
}

}  // namespace
}  // namespace automation
