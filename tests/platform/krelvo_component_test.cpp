// clsOptimizacija reached only by name, through late binding, as hosts reach it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/application_object.hpp"
#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

constexpr const char* kOptimizerClsid = "{1A2E2510-521A-49AE-B558-932F2C234CE7}";

void describe_example(Object& optimizer, int32_t level) {
  put_property(optimizer, "nitem", Variant(int32_t{2}));
  put_property(optimizer, "litem", Variant(SafeArray<Variant>(0, {0.0, 3.0, 7.0})));
  put_property(optimizer, "mitem", Variant(SafeArray<Variant>(0, {int32_t{0}, int32_t{1}, int32_t{1}})));
  put_property(optimizer, "lsource", Variant(SafeArray<Variant>(0, {0.0, 10.0})));
  put_property(optimizer, "msource", Variant(SafeArray<Variant>(0, {int32_t{0}, int32_t{0}})));
  put_property(optimizer, "razina", Variant(level));
}

TEST(KrelvoComponent, RunDrivenFullyThroughLateBinding) {
  for (const char* name : {"Krelvo.clsOptimizacija", kOptimizerClsid}) {
    const ObjectRef optimizer = create_object(name);
    describe_example(*optimizer, 1);
    call_method(*optimizer, "pokreni");
    EXPECT_EQ(get_property(*optimizer, "otpad"), Variant(0.0)) << name;
    EXPECT_EQ(get_property(*optimizer, "brsipka"), Variant(int32_t{1})) << name;
    const Variant plan = get_property(*optimizer, "rezanje");
    ASSERT_TRUE(plan.holds<SafeArray<Variant>>());
    EXPECT_EQ(plan.get<SafeArray<Variant>>()[1], Variant(SafeArray<int32_t>(0, {0, 1, 1})));
  }
}

TEST(KrelvoComponent, ProgressUpdateReachesEverySinkAndPrekidStopsTheRun) {
  const ObjectRef optimizer = create_object("Krelvo.clsOptimizacija");
  describe_example(*optimizer, 2);
  std::vector<int16_t> first, second;
  connect_events(*optimizer, [&](const std::string&, std::span<Variant>) {
    first.push_back(get_property(*optimizer, "progress").get<int16_t>());
  });
  const uint32_t cookie = connect_events(*optimizer, [&](const std::string&, std::span<Variant>) {
    second.push_back(get_property(*optimizer, "progress").get<int16_t>());
    if (second.size() == 2) put_property(*optimizer, "prekid", Variant(kTrue));
  });
  call_method(*optimizer, "pokreni");
  ASSERT_EQ(second.size(), 2u) << "the run stops at the checkpoint after prekid is set";
  EXPECT_EQ(first, second);
  EXPECT_EQ(first.front(), 0);
  disconnect_events(*optimizer, cookie);
  put_property(*optimizer, "prekid", Variant(kFalse));
  call_method(*optimizer, "pokreni");
  EXPECT_GT(first.size(), 2u);
  EXPECT_EQ(second.size(), 2u);
}

TEST(KrelvoComponent, TestWritesItsArgumentsBackAndErrorsKeepTheirNumbers) {
  const ObjectRef optimizer = create_object("Krelvo.clsOptimizacija");
  describe_example(*optimizer, 1);
  std::vector<Variant> setting{Variant(Bstr(u"1")), Variant(2.0), Variant(int16_t{3})};
  call_method(*optimizer, "test", setting);
  // By reference: each argument comes back as the Long the call received.
  EXPECT_EQ(setting, (std::vector<Variant>{Variant(int32_t{1}), Variant(int32_t{2}), Variant(int32_t{3})}));
  EXPECT_EQ(get_property(*optimizer, "brsipka"), Variant(int32_t{1}));
  // Item arrays from 1 lack element 0: the run fails with its own error.
  put_property(*optimizer, "litem", Variant(SafeArray<double>(1, {3.0, 7.0})));
  put_property(*optimizer, "mitem", Variant(SafeArray<int32_t>(1, {1, 1})));
  EXPECT_THAT([&] { call_method(*optimizer, "pokreni"); },
              RaisesAutomationError(kErrSubscriptOutOfRange, testing::_, "Krelvo"));
}

TEST(KrelvoComponent, ApplicationObjectIsTheImplicitOptimizer) {
  const ObjectRef implicit = application_object("Krelvo");
  EXPECT_EQ(implicit->class_info().name, "clsOptimizacija");
  EXPECT_EQ(implicit, application_object(kOptimizerClsid));
}

}  // namespace
}  // namespace automation
