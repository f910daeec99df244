// clsOptimizacija reached only by name, through late binding, as hosts reach it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "automation/application_object.hpp"
#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "automation/type_library.hpp"

namespace automation {
namespace {

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
    EXPECT_TRUE(get_property(*optimizer, "otpad") == Variant(0.0)) << name;
    EXPECT_TRUE(get_property(*optimizer, "brsipka") == Variant(int32_t{1})) << name;
    const Variant plan = get_property(*optimizer, "rezanje");
    ASSERT_TRUE(plan.holds<SafeArray<Variant>>());
    EXPECT_TRUE(plan.get<SafeArray<Variant>>()[1] == Variant(SafeArray<int32_t>(0, {0, 1, 1})));
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
  for (const Variant& value : setting) EXPECT_EQ(value.type(), VarType::kI4);
  // Item arrays from 1 lack element 0: the run fails with its own error.
  put_property(*optimizer, "litem", Variant(SafeArray<double>(1, {3.0, 7.0})));
  put_property(*optimizer, "mitem", Variant(SafeArray<int32_t>(1, {1, 1})));
  try {
    call_method(*optimizer, "pokreni");
    FAIL() << "item arrays from 1 cannot run";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), kErrSubscriptOutOfRange);
    EXPECT_EQ(error.source(), "Krelvo");
  }
}

TEST(KrelvoComponent, ApplicationObjectIsTheImplicitOptimizer) {
  const ObjectRef implicit = application_object("Krelvo");
  EXPECT_EQ(implicit->class_info().name, "clsOptimizacija");
  EXPECT_EQ(implicit, application_object(kOptimizerClsid));
}

TEST(KrelvoComponent, TypeLibraryFollowsTheSlotOrder) {
  const nlohmann::json library = nlohmann::json::parse(type_library_json("Krelvo"));
  EXPECT_EQ(library["libid"], "{E9746FEC-3D90-4528-A028-F4424F912B1B}");
  EXPECT_EQ(library["version"], "1.0");
  const nlohmann::json& optimizer = library["classes"][0];
  EXPECT_EQ(optimizer["clsid"], kOptimizerClsid);
  EXPECT_EQ(optimizer["interface"]["name"], "_clsOptimizacija");
  EXPECT_EQ(optimizer["interface"]["iid"], "{A915B55E-7F3C-4329-B354-6048B9E91C6A}");
  EXPECT_EQ(optimizer["events"]["name"], "__clsOptimizacija");
  EXPECT_EQ(optimizer["events"]["iid"], "{8E34FFBB-F37B-4913-90E7-889A1A32BE57}");
  EXPECT_EQ(optimizer["events"]["members"][0]["name"], "ProgressUpdate");
  EXPECT_EQ(optimizer["application_object"], true);
  std::vector<std::string> expected;
  for (const char* field : {"razina", "randomiziraj", "nitem", "nsource", "prekid", "brsipka", "otpad", "progress"}) {
    expected.push_back(std::string(field) + " propget");
    expected.push_back(std::string(field) + " propput");
  }
  for (const char* input : {"litem", "mitem", "lsource", "msource"})
    expected.push_back(std::string(input) + " propput");
  for (const char* member : {"rezanje propget", "pokreni method", "test method"}) expected.push_back(member);
  std::vector<std::string> described;
  for (const auto& member : optimizer["interface"]["members"])
    described.push_back(member["name"].get<std::string>() + " " + member["kind"].get<std::string>());
  EXPECT_EQ(described, expected);
  const nlohmann::json enums = {
      {{"name", "razine_opt"},
       {"members",
        {{{"name", "brza"}, {"value", 1}},
         {{"name", "standardna"}, {"value", 2}},
         {{"name", "jaka"}, {"value", 3}},
         {{"name", "vrlojaka"}, {"value", 4}}}}},
      {{"name", "optErrorCodes"}, {"members", {{{"name", "optUnhandledErr"}, {"value", 1}}}}}};
  EXPECT_EQ(library["enums"], enums);
}

}  // namespace
}  // namespace automation
