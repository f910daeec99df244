#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/registry.hpp"
#include "drumel.hpp"
#include "scoped_config_home.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::MemberInfo;
using automation::Variant;
using automation::VarType;

const MemberInfo& member(const automation::Object& object, const std::string& name) {
  for (const MemberInfo& candidate : object.class_info().members)
    if (candidate.name == name) return candidate;
  throw std::runtime_error("no member " + name);
}

TEST(ClsApiBinding, CreatedByEitherIdentifierWithItsMembersInSlotOrder) {
  const automation::ObjectRef by_name = automation::create_object("Drumel.clsAPI");
  const automation::ObjectRef by_clsid = automation::create_object("{6B716D20-27CD-4B7D-A118-81C377DAA049}");
  ASSERT_NE(dynamic_cast<clsAPI*>(by_name.get()), nullptr);
  ASSERT_NE(dynamic_cast<clsAPI*>(by_clsid.get()), nullptr);
  const automation::ClassInfo& info = by_name->class_info();
  EXPECT_EQ(info.interface_name, "_clsAPI");
  EXPECT_EQ(info.iid, "{42B02F55-E6E0-4B38-97DF-4EA49CEAC1C7}");

  // name, result, then each parameter's type and whether it is by reference
  struct Slot {
    const char* name;
    VarType result;
    std::vector<std::pair<VarType, bool>> params;
  };
  const std::vector<Slot> expected = {
      {"RegQueryStringValue", VarType::kBstr, {{VarType::kI4, false}, {VarType::kBstr, false}}},
      {"GetFolderName", VarType::kBstr, {}},
      {"GetString", VarType::kVariant, {{VarType::kI4, true}, {VarType::kBstr, true}, {VarType::kBstr, true}}},
      {"SaveString",
       VarType::kEmpty,
       {{VarType::kI4, true}, {VarType::kBstr, true}, {VarType::kBstr, true}, {VarType::kBstr, true}}},
      {"DelSetting", VarType::kEmpty, {{VarType::kI4, true}, {VarType::kBstr, true}, {VarType::kBstr, true}}},
      {"ScreenSaverAktivan", VarType::kI2, {{VarType::kBool, true}}},
      {"DOSStaza", VarType::kBstr, {{VarType::kBstr, true}}},
      {"OSVerzija", VarType::kEmpty, {{VarType::kBstr, true}, {VarType::kBstr, true}, {VarType::kBstr, true}}},
      {"GetWindowsDir", VarType::kBstr, {}},
      {"GetSystemDir", VarType::kBstr, {}},
  };
  ASSERT_EQ(info.members.size(), expected.size());
  for (std::size_t slot = 0; slot < expected.size(); ++slot) {
    const MemberInfo& actual = info.members[slot];
    EXPECT_EQ(actual.name, expected[slot].name) << slot;
    EXPECT_EQ(actual.kind, automation::MemberKind::kMethod) << actual.name;
    EXPECT_EQ(actual.result, expected[slot].result) << actual.name;
    ASSERT_EQ(actual.params.size(), expected[slot].params.size()) << actual.name;
    for (std::size_t i = 0; i < actual.params.size(); ++i) {
      EXPECT_EQ(actual.params[i].type, expected[slot].params[i].first) << actual.name << " " << i;
      EXPECT_EQ(actual.params[i].by_ref, expected[slot].params[i].second) << actual.name << " " << i;
      EXPECT_FALSE(actual.params[i].optional) << actual.name << " " << i;
    }
  }
}

TEST(ClsApiBinding, InvokersPassArgumentsAndWriteBackByReference) {
  const automation::testing_support::ScopedConfigHome config_home;
  const automation::ObjectRef api = automation::create_object("Drumel.clsAPI");
  const auto root = static_cast<int32_t>(automation::HKEY_CURRENT_USER);

  std::vector<Variant> save_args{Variant(root), Variant(Bstr(u"Software\\\u4E2D")), Variant(Bstr(u"Ime")),
                                 Variant(Bstr(u"podatak"))};
  EXPECT_TRUE(member(*api, "SaveString").invoke(*api, save_args).is_empty());
  EXPECT_EQ(save_args[1].get<Bstr>().str(), u"Software\\?");

  std::vector<Variant> get_args{Variant(root), Variant(Bstr(u"Software\\?")), Variant(Bstr(u"Ime"))};
  const Variant result = member(*api, "GetString").invoke(*api, get_args);
  EXPECT_EQ(result.get<Bstr>().str(), u"podatak");

  std::vector<Variant> version_args{Variant(Bstr(u"")), Variant(Bstr(u"")), Variant(Bstr(u""))};
  member(*api, "OSVerzija").invoke(*api, version_args);
  EXPECT_EQ(version_args[1].get<Bstr>().str().substr(0, 1), u" ");

  std::vector<Variant> no_args;
  EXPECT_EQ(member(*api, "GetWindowsDir").invoke(*api, no_args).get<Bstr>().str(), u"/etc");
  // No display: the developer's own screen saver stays as it is.
  const automation::testing_support::ScopedEnvironmentVariable display("DISPLAY", std::nullopt);
  std::vector<Variant> flag{Variant(automation::kTrue)};
  EXPECT_EQ(member(*api, "ScreenSaverAktivan").invoke(*api, flag), Variant(int16_t{0}));
  EXPECT_EQ(flag[0], Variant(automation::kTrue));
}

}  // namespace
}  // namespace drumel
