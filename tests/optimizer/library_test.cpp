// libKrelvo.so as the component runtime sees it: loading it registers
// clsOptimizacija, whose description lists the members in slot order with
// invokers, the event and the enumerations. Links only the public library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "krelvo.hpp"

namespace krelvo {
namespace {

using automation::MemberKind;
using automation::VarType;

TEST(KrelvoLibrary, DescribesItselfForLateBinding) {
  const automation::LibraryInfo& library = library_info();
  EXPECT_EQ(library.name, "Krelvo");
  EXPECT_EQ(library.libid, "{E9746FEC-3D90-4528-A028-F4424F912B1B}");
  EXPECT_EQ(library.major_version, 1);
  EXPECT_EQ(library.minor_version, 0);
  ASSERT_EQ(library.enums.size(), 2u);
  EXPECT_EQ(library.enums[0].name, "razine_opt");
  EXPECT_EQ(library.enums[0].members, (std::vector<std::pair<std::string, int32_t>>{
                                          {"brza", 1}, {"standardna", 2}, {"jaka", 3}, {"vrlojaka", 4}}));
  EXPECT_EQ(library.enums[1].name, "optErrorCodes");
  EXPECT_EQ(library.enums[1].members, (std::vector<std::pair<std::string, int32_t>>{{"optUnhandledErr", 1}}));

  ASSERT_EQ(library.classes.size(), 1u);
  const automation::ClassInfo& info = *library.classes[0];
  EXPECT_EQ(info.prog_id(), "Krelvo.clsOptimizacija");
  EXPECT_EQ(info.clsid, "{1A2E2510-521A-49AE-B558-932F2C234CE7}");
  EXPECT_EQ(info.interface_name, "_clsOptimizacija");
  EXPECT_EQ(info.iid, "{A915B55E-7F3C-4329-B354-6048B9E91C6A}");
  EXPECT_EQ(info.event_interface_name, "__clsOptimizacija");
  EXPECT_EQ(info.event_iid, "{8E34FFBB-F37B-4913-90E7-889A1A32BE57}");
  ASSERT_EQ(info.events.size(), 1u);
  EXPECT_EQ(info.events[0].name, "ProgressUpdate");
  EXPECT_TRUE(info.application_object);
}

TEST(KrelvoLibrary, MembersStandInSlotOrder) {
  const automation::ClassInfo& info = *automation::find_class("Krelvo.clsOptimizacija");
  std::vector<std::pair<std::string, MemberKind>> expected;
  for (const char* field : {"razina", "randomiziraj", "nitem", "nsource", "prekid", "brsipka", "otpad", "progress"}) {
    expected.emplace_back(field, MemberKind::kPropertyGet);
    expected.emplace_back(field, MemberKind::kPropertyPut);
  }
  for (const char* array : {"litem", "mitem", "lsource", "msource"})
    expected.emplace_back(array, MemberKind::kPropertyPut);
  expected.emplace_back("rezanje", MemberKind::kPropertyGet);
  expected.emplace_back("pokreni", MemberKind::kMethod);
  expected.emplace_back("test", MemberKind::kMethod);
  std::vector<std::pair<std::string, MemberKind>> actual;
  for (const auto& member : info.members) actual.emplace_back(member.name, member.kind);
  EXPECT_EQ(actual, expected);

  EXPECT_EQ(info.members[0].result, VarType::kI4);
  EXPECT_EQ(info.members[2].result, VarType::kBool);
  EXPECT_EQ(info.members[12].result, VarType::kR8);
  EXPECT_EQ(info.members[14].result, VarType::kI2);
  EXPECT_EQ(info.members[16].params[0].type, automation::array_of(VarType::kR8));
  EXPECT_TRUE(info.members[16].params[0].by_ref);
  EXPECT_EQ(info.members[17].params[0].type, automation::array_of(VarType::kI4));
  EXPECT_EQ(info.members[20].result, automation::array_of(VarType::kVariant));
  const auto& test = info.members[22].params;
  ASSERT_EQ(test.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(test[i].name, std::string(1, "vki"[i]) + (i == 2 ? "ter" : ""));
    EXPECT_EQ(test[i].type, VarType::kI4);
    EXPECT_TRUE(test[i].by_ref);
  }
}

TEST(KrelvoLibrary, InvokersDriveAnObjectCreatedByName) {
  const automation::ObjectRef object = automation::create_object("{1A2E2510-521A-49AE-B558-932F2C234CE7}");
  ASSERT_NE(object, nullptr);
  const auto& members = object->class_info().members;
  auto invoke = [&](std::size_t slot, std::vector<Variant> args = {}) { return members[slot].invoke(*object, args); };
  invoke(5, {Variant(int32_t{1})});                                // nitem
  invoke(16, {Variant(SafeArray<double>(0, {0.0, 3.0}))});         // litem
  invoke(17, {Variant(SafeArray<int32_t>(0, {0, 5}))});            // mitem
  invoke(18, {Variant(SafeArray<double>(0, {0.0, 10.0}))});        // lsource
  invoke(19, {Variant(SafeArray<int32_t>(0, {0, 0}))});            // msource
  invoke(1, {Variant(int32_t{brza})});                             // razina
  EXPECT_FALSE(invoke(20).get<SafeArray<Variant>>().has_array());  // rezanje before a plan
  int events = 0;
  object->event_source()->connect([&](const std::string& name, std::span<Variant>) {
    EXPECT_EQ(name, "ProgressUpdate");
    ++events;
  });
  invoke(21);  // pokreni
  EXPECT_EQ(events, 11);
  EXPECT_EQ(invoke(12).get<double>(), 1.0);  // otpad
  EXPECT_EQ(invoke(10).get<int32_t>(), 2);   // brsipka
  EXPECT_EQ(invoke(20).get<SafeArray<Variant>>().ubound(), 2);
  invoke(22, {Variant(int32_t{0}), Variant(int32_t{100}), Variant(int32_t{3})});  // test
  EXPECT_EQ(events, 11);
  EXPECT_EQ(invoke(14).get<int16_t>(), 100);  // progress
}

}  // namespace
}  // namespace krelvo
