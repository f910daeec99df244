#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "raises_automation_error.hpp"
#include "variant_printer.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;
using ::testing::HasSubstr;

constexpr const char* kProbe = "DispatchProbe.clsProbe";

TEST(Dispatch, PropertiesAreFoundWithoutRegardToCaseAndCoerced) {
  ObjectRef probe = create_object(kProbe);
  put_property(*probe, "COUNT", Variant(Bstr(u"12")));
  EXPECT_EQ(get_property(*probe, "count"), Variant(int32_t{12}));
  put_property(*probe, "Ratio", Variant(int32_t{3}));
  EXPECT_EQ(get_property(*probe, "ratio"), Variant(3.0));
  put_property(*probe, "flag", Variant(int32_t{5}));
  EXPECT_EQ(get_property(*probe, "flag"), Variant(kTrue));
  put_property(*probe, "label", Variant(2.5));
  EXPECT_EQ(get_property(*probe, "label"), Variant(Bstr(u"2.5")));
}

TEST(Dispatch, CoercionErrorsNameTheArgumentAndKeepTheirNumber) {
  ObjectRef probe = create_object(kProbe);
  EXPECT_THAT([&] { put_property(*probe, "small", Variant(int32_t{40000})); },
              RaisesAutomationError(kErrOverflow, HasSubstr("'value' of small"), "DispatchProbe"));
  EXPECT_THAT([&] { put_property(*probe, "count", Variant(Bstr(u"many"))); }, RaisesAutomationError(kErrTypeMismatch));
  EXPECT_EQ(get_property(*probe, "small"), Variant(int16_t{0})) << "a failed put leaves the field alone";
}

TEST(Dispatch, CallShapeErrors) {
  ObjectRef probe = create_object(kProbe);
  std::vector<Variant> three{Variant(1.0), Variant(2.0), Variant(3.0)};
  struct Case {
    const char* what;
    std::function<void()> call;
    int32_t number;
  } cases[] = {
      {"unknown name", [&] { get_property(*probe, "colour"); }, kErrMemberNotFound},
      {"get of a put-only property", [&] { call_method(*probe, "lengths"); }, kErrMemberNotFound},
      {"put of a get-only property", [&] { put_property(*probe, "live", Variant(int32_t{1})); }, kErrMemberNotFound},
      {"too many arguments", [&] { call_method(*probe, "add", three); }, kErrWrongArgumentCount},
      {"required argument missing", [&] { call_method(*probe, "add"); }, kErrArgumentNotOptional},
  };
  for (const Case& c : cases) EXPECT_THAT(c.call, RaisesAutomationError(c.number)) << c.what;
}

TEST(Dispatch, OptionalArgumentsTakeTheirDefaults) {
  ObjectRef probe = create_object(kProbe);
  std::vector<Variant> one{Variant(int32_t{1})};
  EXPECT_EQ(call_method(*probe, "Add", one), Variant(11.0));
  std::vector<Variant> two{Variant(int32_t{1}), Variant(Bstr(u"2"))};
  EXPECT_EQ(call_method(*probe, "add", two), Variant(3.0));
}

TEST(Dispatch, ByReferenceArgumentsAreWrittenBackByValueOnesAreNot) {
  ObjectRef probe = create_object(kProbe);
  std::vector<Variant> pair{Variant(Bstr(u"1")), Variant(2.0)};
  call_method(*probe, "swap", pair);
  EXPECT_EQ(pair[0], Variant(int32_t{2}));
  EXPECT_EQ(pair[1], Variant(int32_t{1}));
  std::vector<Variant> by_value{Variant(int32_t{5})};
  EXPECT_EQ(call_method(*probe, "describe", by_value), Variant(Bstr(u"[5]")));
  EXPECT_EQ(by_value[0], Variant(int32_t{5}));
}

// Arguments already of their declared type are moved into the call, not
// copied: they must come back after success and after a later argument fails.
TEST(Dispatch, ByReferenceArgumentsOfTheirOwnTypeComeBackAfterSuccessAndFailure) {
  ObjectRef probe = create_object(kProbe);
  std::vector<Variant> same_types{Variant(int32_t{1}), Variant(int32_t{2})};
  call_method(*probe, "swap", same_types);
  EXPECT_TRUE(same_types[0] == Variant(int32_t{2}));
  EXPECT_TRUE(same_types[1] == Variant(int32_t{1}));
  std::vector<Variant> second_fails{Variant(int32_t{7}), Variant(Bstr(u"not a number"))};
  EXPECT_THAT([&] { call_method(*probe, "swap", second_fails); }, RaisesAutomationError(kErrTypeMismatch));
  EXPECT_TRUE(second_fails[0] == Variant(int32_t{7}));
  EXPECT_TRUE(second_fails[1] == Variant(Bstr(u"not a number")));
}

TEST(Dispatch, EmptyIsTheNullStringWhereAStringIsExpected) {
  ObjectRef probe = create_object(kProbe);
  std::vector<Variant> empty{Variant()};
  EXPECT_EQ(call_method(*probe, "describe", empty), Variant(Bstr(u"null")));
  std::vector<Variant> empty_text{Variant(Bstr(u""))};
  EXPECT_EQ(call_method(*probe, "describe", empty_text), Variant(Bstr(u"[]")));
}

TEST(Dispatch, ArraysAreConvertedElementWiseAndKeepTheirBounds) {
  ObjectRef probe = create_object(kProbe);
  std::vector<Variant> lengths{Variant(SafeArray<Variant>(1, {int32_t{3}, Variant(Bstr(u"4.5"))}))};
  invoke(*probe, "lengths", MemberKind::kPropertyPut, lengths);
  EXPECT_EQ(get_property(*probe, "lengths"), Variant(SafeArray<double>(1, {3.0, 4.5})));
  std::vector<Variant> counts{Variant(SafeArray<double>(0, {1.0, 1e10}))};
  EXPECT_THAT([&] { invoke(*probe, "counts", MemberKind::kPropertyPut, counts); }, RaisesAutomationError(kErrOverflow));
}

TEST(Dispatch, ErrorsKeepNumberDescriptionAndSource) {
  ObjectRef probe = create_object(kProbe);
  struct Case {
    int32_t number;
    const char16_t* description;
    const char16_t* source;
    const char* expected_source;
  } cases[] = {{1234, u"boom", u"", "DispatchProbe"}, {5, u"bad call", u"Custom.Source", "Custom.Source"}};
  for (const Case& c : cases) {
    std::vector<Variant> args{Variant(c.number), Variant(Bstr(c.description)), Variant(Bstr(c.source))};
    EXPECT_THAT([&] { call_method(*probe, "fail", args); },
                RaisesAutomationError(c.number, Bstr(c.description).to_utf8(), c.expected_source));
  }
}

TEST(Dispatch, EventsReachEverySinkUntilDisconnected) {
  ObjectRef probe = create_object(kProbe);
  std::vector<int> calls(3, 0);
  std::vector<uint32_t> cookies;
  for (int& count : calls)
    cookies.push_back(connect_events(*probe, [&count](const std::string& name, std::span<Variant>) {
      if (name == "ProgressUpdate") ++count;
    }));
  std::vector<Variant> steps{Variant(int32_t{3})};
  call_method(*probe, "run", steps);
  EXPECT_EQ(calls, (std::vector<int>{3, 3, 3}));
  disconnect_events(*probe, cookies[1]);
  call_method(*probe, "run", steps);
  EXPECT_EQ(calls, (std::vector<int>{6, 3, 6}));
}

TEST(Dispatch, SinksMayDisconnectThemselvesAndStopTheRun) {
  ObjectRef probe = create_object(kProbe);
  int self_removing = 0, stopping = 0;
  uint32_t cookie = 0;
  cookie = connect_events(*probe, [&](const std::string&, std::span<Variant>) {
    ++self_removing;
    disconnect_events(*probe, cookie);
  });
  connect_events(*probe, [&](const std::string&, std::span<Variant>) {
    if (++stopping == 2) put_property(*probe, "flag", Variant(kTrue));
  });
  std::vector<Variant> steps{Variant(int32_t{10})};
  call_method(*probe, "run", steps);
  EXPECT_EQ(self_removing, 1);
  EXPECT_EQ(stopping, 2);
  EXPECT_EQ(get_property(*probe, "count"), Variant(int32_t{2}));
}

TEST(Dispatch, ObjectOutlivesAHandlerThatDropsTheLastReference) {
  ObjectRef probe = create_object(kProbe);
  std::weak_ptr<Object> watch = probe;
  Object& object = *probe;
  int calls = 0;
  bool alive_after_drop = false;
  connect_events(object, [&](const std::string&, std::span<Variant>) {
    ++calls;
    probe.reset();
    alive_after_drop = !watch.expired();
  });
  std::vector<Variant> steps{Variant(int32_t{3})};
  call_method(object, "run", steps);
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(alive_after_drop);
  EXPECT_TRUE(watch.expired()) << "released once the call returned";
}

TEST(Dispatch, ClassWithoutEventsRefusesSinks) {
  ObjectRef plain = create_object("DispatchProbe.clsPlain");
  EXPECT_THAT([&] { connect_events(*plain, [](const std::string&, std::span<Variant>) {}); },
              RaisesAutomationError(kErrNoEvents));
}

}  // namespace
}  // namespace automation
