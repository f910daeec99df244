// clsAPI as the component runtime sees it: identifiers and members in the
// interface's slot order.
#include <memory>

#include "automation/class_binder.hpp"
#include "class_infos.hpp"
#include "drumel/clsAPI.hpp"

namespace drumel {

const automation::ClassInfo& clsAPI_class_info() {
  static const automation::ClassInfo info =
      automation::ClassBinder<clsAPI>(drumel_class("clsAPI", "{6B716D20-27CD-4B7D-A118-81C377DAA049}",
                                                   "{42B02F55-E6E0-4B38-97DF-4EA49CEAC1C7}",
                                                   [] { return std::make_shared<clsAPI>(); }))
          .method("RegQueryStringValue", &clsAPI::RegQueryStringValue, {"hKey", "strValueName"})
          .method("GetFolderName", &clsAPI::GetFolderName)
          .method("GetString", &clsAPI::GetString, {"hKey", "strPath", "strValue"})
          .method("SaveString", &clsAPI::SaveString, {"hKey", "strPath", "strValue", "strData"})
          .method("DelSetting", &clsAPI::DelSetting, {"hKey", "strPath", "strValue"})
          .method("ScreenSaverAktivan", &clsAPI::ScreenSaverAktivan, {"Aktivan"})
          .method("DOSStaza", &clsAPI::DOSStaza, {"WINStaza"})
          .method("OSVerzija", &clsAPI::OSVerzija, {"Plat", "Ver", "Build"})
          .method("GetWindowsDir", &clsAPI::GetWindowsDir)
          .method("GetSystemDir", &clsAPI::GetSystemDir)
          .info();
  return info;
}

const automation::ClassInfo& clsAPI::class_info() const { return clsAPI_class_info(); }

}  // namespace drumel
