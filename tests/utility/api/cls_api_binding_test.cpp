#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "automation/registry.hpp"
#include "drumel.hpp"
#include "scoped_config_home.hpp"
#include "variant_printer.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;

// The members' slot order and types are pinned by tests/platform/type_libraries/Drumel.json.
TEST(ClsApiBinding, CreatedByEitherIdentifier) {
  const automation::ObjectRef by_name = automation::create_object("Drumel.clsAPI");
  const automation::ObjectRef by_clsid = automation::create_object("{6B716D20-27CD-4B7D-A118-81C377DAA049}");
  ASSERT_NE(dynamic_cast<clsAPI*>(by_name.get()), nullptr);
  ASSERT_NE(dynamic_cast<clsAPI*>(by_clsid.get()), nullptr);
  EXPECT_EQ(&by_name->class_info(), &by_clsid->class_info());
}

TEST(ClsApiBinding, InvokersPassArgumentsAndWriteBackByReference) {
  const automation::testing_support::ScopedConfigHome config_home;
  const automation::ObjectRef api = automation::create_object("Drumel.clsAPI");
  const auto root = static_cast<int32_t>(automation::HKEY_CURRENT_USER);

  std::vector<Variant> save_args{Variant(root), Variant(Bstr(u"Software\\\u4E2D")), Variant(Bstr(u"Ime")),
                                 Variant(Bstr(u"podatak"))};
  EXPECT_TRUE(automation::call_method(*api, "SaveString", save_args).is_empty());
  EXPECT_EQ(save_args[1].get<Bstr>().str(), u"Software\\?");

  std::vector<Variant> get_args{Variant(root), Variant(Bstr(u"Software\\?")), Variant(Bstr(u"Ime"))};
  const Variant result = automation::call_method(*api, "GetString", get_args);
  EXPECT_EQ(result.get<Bstr>().str(), u"podatak");

  std::vector<Variant> version_args{Variant(Bstr(u"")), Variant(Bstr(u"")), Variant(Bstr(u""))};
  automation::call_method(*api, "OSVerzija", version_args);
  EXPECT_EQ(version_args[1].get<Bstr>().str().substr(0, 1), u" ");

  std::vector<Variant> no_args;
  EXPECT_EQ(automation::call_method(*api, "GetWindowsDir", no_args).get<Bstr>().str(), u"/etc");
  // No display: the developer's own screen saver stays as it is.
  const automation::testing_support::ScopedEnvironmentVariable display("DISPLAY", std::nullopt);
  std::vector<Variant> flag{Variant(automation::kTrue)};
  EXPECT_EQ(automation::call_method(*api, "ScreenSaverAktivan", flag), Variant(int16_t{0}));
  EXPECT_EQ(flag[0], Variant(automation::kTrue));
}

}  // namespace
}  // namespace drumel
