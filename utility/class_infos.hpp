// The class descriptions that make up the library, one per class folder, and
// the identity they share.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "automation/object.hpp"

namespace drumel {

const automation::ClassInfo &clsFile_class_info();
const automation::ClassInfo &clsAPI_class_info();
const automation::ClassInfo &clsINI_class_info();
const automation::ClassInfo &clsEncript_class_info();

// A class of this library: its interface is "_" and the class name, it
// raises no events and is not the application object.
inline automation::ClassInfo drumel_class(std::string name, std::string clsid, std::string iid,
                                          std::function<automation::ObjectRef()> create) {
  automation::ClassInfo info;
  info.library = "Drumel";
  info.interface_name = "_" + name;
  info.name = std::move(name);
  info.clsid = std::move(clsid);
  info.iid = std::move(iid);
  info.create = std::move(create);
  return info;
}

}  // namespace drumel
