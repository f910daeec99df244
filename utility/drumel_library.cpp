#include "automation/component_server.hpp"
#include "class_infos.hpp"
#include "drumel.hpp"

namespace drumel {

const automation::LibraryInfo& library_info() {
  static const automation::LibraryInfo info{
      .name = "Drumel",
      .libid = "{5E1E083C-1AE4-4B79-A954-77C12376106C}",
      .major_version = 1,
      .minor_version = 0,
      .classes = {&clsFile_class_info(), &clsINI_class_info(), &clsAPI_class_info(), &clsEncript_class_info()},
      .enums = {},
  };
  return info;
}

}  // namespace drumel

AUTOMATION_COMPONENT_SERVER(drumel::library_info)
