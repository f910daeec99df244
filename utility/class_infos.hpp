// The class descriptions that make up the library, one per class folder, and
// the pieces they are built from.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "automation/object.hpp"

namespace drumel {

const automation::ClassInfo &clsFile_class_info();
const automation::ClassInfo &clsAPI_class_info();
const automation::ClassInfo &clsINI_class_info();
const automation::ClassInfo &clsEncript_class_info();

inline automation::ParamInfo by_value(std::string name, automation::VarType type) {
  return {.name = std::move(name), .type = type};
}

inline automation::ParamInfo by_reference(std::string name, automation::VarType type) {
  return {.name = std::move(name), .type = type, .by_ref = true};
}

// A class of this library: its interface is "_" and the class name, it
// raises no events and is not the application object.
inline automation::ClassInfo drumel_class(std::string name, std::string clsid, std::string iid,
                                          std::vector<automation::MemberInfo> members,
                                          std::function<automation::ObjectRef()> create) {
  automation::ClassInfo info;
  info.library = "Drumel";
  info.interface_name = "_" + name;
  info.name = std::move(name);
  info.clsid = std::move(clsid);
  info.iid = std::move(iid);
  info.members = std::move(members);
  info.create = std::move(create);
  return info;
}

}  // namespace drumel
