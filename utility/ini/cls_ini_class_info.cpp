// clsINI as the component runtime sees it: identifiers and members in the
// interface's slot order.
#include <memory>

#include "automation/class_binder.hpp"
#include "class_infos.hpp"
#include "drumel/clsINI.hpp"

namespace drumel {

const automation::ClassInfo& clsINI_class_info() {
  static const automation::ClassInfo info =
      automation::ClassBinder<clsINI>(drumel_class("clsINI", "{4CBA9105-2CFA-4B68-B4D4-063066D44984}",
                                                   "{48244789-E6E3-4CC8-AE2E-F8D02655FC10}",
                                                   [] { return std::make_shared<clsINI>(); }))
          .method("GetKeyVal", &clsINI::GetKeyVal, {"Section", "Key", "Default", "INIFileLoc"})
          .method("AddToINI", &clsINI::AddToINI, {"Section", "Key", "Value", "INIFileLoc"})
          .method("DeleteSection", &clsINI::DeleteSection, {"INIFileLoc", "Section"})
          .method("DeleteKey", &clsINI::DeleteKey, {"INIFileLoc", "Section", "Key"})
          .method("DeleteKeyValue", &clsINI::DeleteKeyValue, {"INIFileLoc", "Section", "Key"})
          .method("GetIntVal", &clsINI::GetIntVal, {"Section", "Key", "Default", "INIFileLoc"})
          .method("GetDoubleVal", &clsINI::GetDoubleVal, {"Section", "Key", "Default", "INIFileLoc"})
          .info();
  return info;
}

const automation::ClassInfo& clsINI::class_info() const { return clsINI_class_info(); }

}  // namespace drumel
