// The class binder: declared types, by-reference flags and defaults derived
// from the C++ members, and invokers that pass coerced arguments in, write
// reference parameters back and turn results into variants.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "automation/class_binder.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

class Gauge final : public Object {
 public:
  const ClassInfo& class_info() const override;

  int16_t level() const { return level_; }
  void set_level(int16_t level) { level_ = level; }
  void put_lengths(const SafeArray<double>& lengths) { lengths_ = lengths; }
  double sum(double a, double b) const { return a + b; }
  void bump(int32_t& count, Bstr& text, VariantBool flag) {
    count += 1;
    text = Bstr(text.str() + (flag ? u"!" : u"?"));
  }
  Variant echo(const Variant& value) { return value; }
  SafeArray<double> lengths() { return lengths_; }
  std::shared_ptr<Gauge> twin() { return std::make_shared<Gauge>(); }
  void reset() { level_ = 0; }

 private:
  int16_t level_ = 0;
  SafeArray<double> lengths_;
};

ClassInfo gauge_identity() {
  ClassInfo identity;
  identity.library = "BinderProbe";
  identity.name = "Gauge";
  identity.create = [] { return ObjectRef(std::make_shared<Gauge>()); };
  return identity;
}

const ClassInfo& Gauge::class_info() const {
  static const ClassInfo info = ClassBinder<Gauge>(gauge_identity())
                                    .property("level", &Gauge::level, &Gauge::set_level)
                                    .property_put("lengths", &Gauge::put_lengths, Arg::by_reference("value"))
                                    .method("sum", &Gauge::sum, {"a", Arg("b", Variant(10.0))})
                                    .method("bump", &Gauge::bump, {"count", "text", "flag"})
                                    .method("echo", &Gauge::echo, {"value"})
                                    .method("lengths", &Gauge::lengths)
                                    .method("twin", &Gauge::twin)
                                    .method("reset", &Gauge::reset)
                                    .info();
  return info;
}

struct ParamShape {
  VarType type;
  bool by_ref;
  bool optional;
  friend bool operator==(const ParamShape&, const ParamShape&) = default;
};

std::vector<ParamShape> shapes_of(const MemberInfo& member) {
  std::vector<ParamShape> shapes;
  for (const ParamInfo& param : member.params) shapes.push_back({param.type, param.by_ref, param.optional});
  return shapes;
}

TEST(ClassBinder, DerivesTypesAndReferenceFlagsFromTheMembers) {
  const Gauge gauge;
  const std::vector<MemberInfo>& members = gauge.class_info().members;
  struct Expected {
    const char* name;
    MemberKind kind;
    VarType result;
    std::vector<ParamShape> params;
  };
  const std::vector<Expected> expected = {
      {"level", MemberKind::kPropertyGet, VarType::kI2, {}},
      {"level", MemberKind::kPropertyPut, VarType::kEmpty, {{VarType::kI2, false, false}}},
      {"lengths", MemberKind::kPropertyPut, VarType::kEmpty, {{array_of(VarType::kR8), true, false}}},
      {"sum", MemberKind::kMethod, VarType::kR8, {{VarType::kR8, false, false}, {VarType::kR8, false, true}}},
      {"bump",
       MemberKind::kMethod,
       VarType::kEmpty,
       {{VarType::kI4, true, false}, {VarType::kBstr, true, false}, {VarType::kBool, false, false}}},
      {"echo", MemberKind::kMethod, VarType::kVariant, {{VarType::kVariant, false, false}}},
      {"lengths", MemberKind::kMethod, array_of(VarType::kR8), {}},
      {"twin", MemberKind::kMethod, VarType::kDispatch, {}},
      {"reset", MemberKind::kMethod, VarType::kEmpty, {}},
  };
  ASSERT_EQ(members.size(), expected.size());
  for (std::size_t slot = 0; slot < expected.size(); ++slot) {
    SCOPED_TRACE(expected[slot].name);
    EXPECT_EQ(members[slot].name, expected[slot].name);
    EXPECT_EQ(members[slot].kind, expected[slot].kind);
    EXPECT_EQ(members[slot].result, expected[slot].result);
    EXPECT_TRUE(shapes_of(members[slot]) == expected[slot].params);
  }
  EXPECT_EQ(members[3].params[1].default_value, Variant(10.0));
  EXPECT_EQ(members[1].params[0].name, "value");
}

TEST(ClassBinder, InvokersPassArgumentsAndWriteReferencesBack) {
  Gauge gauge;
  put_property(gauge, "level", Variant(Bstr(u"7")));  // coerced to Integer on the way in
  EXPECT_EQ(get_property(gauge, "level"), Variant(int16_t{7}));

  std::vector<Variant> sum_args{Variant(int32_t{2})};
  EXPECT_EQ(call_method(gauge, "sum", sum_args), Variant(12.0));  // the default fills b

  std::vector<Variant> bump_args{Variant(int32_t{4}), Variant(Bstr(u"go")), Variant(kTrue)};
  EXPECT_TRUE(call_method(gauge, "bump", bump_args).is_empty());
  EXPECT_EQ(bump_args[0], Variant(int32_t{5}));
  EXPECT_EQ(bump_args[1], Variant(Bstr(u"go!")));

  const SafeArray<double> lengths(1, {2.5, 4.0});
  put_property(gauge, "lengths", Variant(lengths));
  EXPECT_EQ(call_method(gauge, "lengths"), Variant(lengths));

  std::vector<Variant> echo_args{Variant(Null{})};
  EXPECT_EQ(call_method(gauge, "echo", echo_args), Variant(Null{}));

  const Variant twin = call_method(gauge, "twin");
  ASSERT_TRUE(twin.holds<ObjectRef>());
  EXPECT_NE(dynamic_cast<Gauge*>(twin.get<ObjectRef>().get()), nullptr);
}

TEST(ClassBinder, InvokersCalledDirectlyRefuseWrongArgumentsWithoutCrashing) {
  Gauge gauge;
  const MemberInfo& sum = gauge.class_info().members[3];
  std::vector<Variant> one{Variant(1.0)};
  EXPECT_THAT([&] { sum.invoke(gauge, one); }, RaisesAutomationError(450, testing::HasSubstr("2 expected, 1 given")));
  std::vector<Variant> text{Variant(Bstr(u"1")), Variant(2.0)};
  EXPECT_THAT([&] { sum.invoke(gauge, text); }, RaisesAutomationError(kErrTypeMismatch));
}

}  // namespace
}  // namespace automation
