// clsAPI: small operating-system services for the host: registry strings, a
// folder picker, the screen saver switch, short paths, the OS version and
// the OS folders. The class keeps no state; every failure comes back as the
// neutral result (an empty string), the version failure after a box.
#pragma once

#include <cstdint>

#include "automation/object.hpp"
#include "drumel/api.hpp"

namespace drumel {

class DRUMEL_API clsAPI final : public automation::Object {
 public:
  const automation::ClassInfo& class_info() const override;

  // Members in the interface's slot order. By-reference strings handed to
  // the platform come back as their ANSI code page form reads back.
  automation::Bstr RegQueryStringValue(int32_t hKey, const automation::Bstr& strValueName);
  automation::Bstr GetFolderName();
  automation::Variant GetString(int32_t& hKey, automation::Bstr& strPath, automation::Bstr& strValue);
  void SaveString(int32_t& hKey, automation::Bstr& strPath, automation::Bstr& strValue, automation::Bstr& strData);
  void DelSetting(int32_t& hKey, automation::Bstr& strPath, automation::Bstr& strValue);
  int16_t ScreenSaverAktivan(automation::VariantBool& Aktivan);
  automation::Bstr DOSStaza(automation::Bstr& WINStaza);
  void OSVerzija(automation::Bstr& Plat, automation::Bstr& Ver, automation::Bstr& Build);
  automation::Bstr GetWindowsDir();
  automation::Bstr GetSystemDir();
};

}  // namespace drumel
