// libKrelvo.so as the component runtime sees it: loading it registers
// clsOptimizacija, which a host creates by name and drives by member names.
// What the library publishes (slot order, types, enumerations) is pinned by
// tests/platform/type_libraries/Krelvo.json. Links only the public library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "krelvo.hpp"

namespace krelvo {
namespace {

using automation::call_method;
using automation::get_property;
using automation::put_property;

TEST(KrelvoLibrary, PublishesTheOptimizerClass) {
  const automation::LibraryInfo& library = library_info();
  ASSERT_EQ(library.classes.size(), 1u);
  EXPECT_EQ(automation::find_class("Krelvo.clsOptimizacija"), library.classes[0]);
  EXPECT_EQ(automation::find_class("{1A2E2510-521A-49AE-B558-932F2C234CE7}"), library.classes[0]);
}

TEST(KrelvoLibrary, MembersDriveAnObjectCreatedByName) {
  const automation::ObjectRef object = automation::create_object("{1A2E2510-521A-49AE-B558-932F2C234CE7}");
  ASSERT_NE(object, nullptr);
  put_property(*object, "nitem", Variant(int32_t{1}));
  put_property(*object, "litem", Variant(SafeArray<double>(0, {0.0, 3.0})));
  put_property(*object, "mitem", Variant(SafeArray<int32_t>(0, {0, 5})));
  put_property(*object, "lsource", Variant(SafeArray<double>(0, {0.0, 10.0})));
  put_property(*object, "msource", Variant(SafeArray<int32_t>(0, {0, 0})));
  put_property(*object, "razina", Variant(int32_t{brza}));
  EXPECT_FALSE(get_property(*object, "rezanje").get<SafeArray<Variant>>().has_array());  // before a plan
  int events = 0;
  object->event_source()->connect([&](const std::string& name, std::span<Variant>) {
    EXPECT_EQ(name, "ProgressUpdate");
    ++events;
  });
  call_method(*object, "pokreni");
  EXPECT_EQ(events, 11);
  EXPECT_EQ(get_property(*object, "otpad"), Variant(1.0));
  EXPECT_EQ(get_property(*object, "brsipka"), Variant(int32_t{2}));
  EXPECT_EQ(get_property(*object, "rezanje").get<SafeArray<Variant>>().ubound(), 2);
  std::vector<Variant> test_args{Variant(int32_t{0}), Variant(int32_t{100}), Variant(int32_t{3})};
  call_method(*object, "test", test_args);
  EXPECT_EQ(events, 11);
  EXPECT_EQ(get_property(*object, "progress"), Variant(int16_t{100}));
}

}  // namespace
}  // namespace krelvo
