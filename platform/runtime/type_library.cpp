#include "automation/type_library.hpp"

#include <nlohmann/json.hpp>

#include "automation/class_registry.hpp"
#include "automation/coercion.hpp"

namespace automation {
namespace {

using Json = nlohmann::ordered_json;

const char* kind_name(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet:
      return "propget";
    case MemberKind::kPropertyPut:
      return "propput";
    case MemberKind::kMethod:
      return "method";
  }
  return "method";
}

Json type_json(VarType type) { return {{"name", type_name(type)}, {"vt", static_cast<unsigned>(type)}}; }

Json value_json(const Variant& value) {
  if (const auto* held = value.get_if<int16_t>()) return *held;
  if (const auto* held = value.get_if<int32_t>()) return *held;
  if (const auto* held = value.get_if<double>()) return *held;
  if (const auto* held = value.get_if<VariantBool>()) return static_cast<bool>(*held);
  if (const auto* held = value.get_if<Bstr>()) return held->to_utf8();
  return nullptr;
}

Json params_json(const std::vector<ParamInfo>& params) {
  Json list = Json::array();
  for (const ParamInfo& param : params) {
    Json entry = {
        {"name", param.name}, {"type", type_json(param.type)}, {"by_ref", param.by_ref}, {"optional", param.optional}};
    if (param.optional) entry["default"] = value_json(param.default_value);
    list.push_back(std::move(entry));
  }
  return list;
}

Json class_json(const ClassInfo& info) {
  Json members = Json::array();
  for (std::size_t slot = 0; slot < info.members.size(); ++slot) {
    const MemberInfo& member = info.members[slot];
    members.push_back({{"slot", slot},
                       {"name", member.name},
                       {"kind", kind_name(member.kind)},
                       {"result", member.result == VarType::kEmpty ? Json(nullptr) : type_json(member.result)},
                       {"params", params_json(member.params)}});
  }
  Json entry = {{"name", info.name},
                {"clsid", info.clsid},
                {"prog_id", info.prog_id()},
                {"application_object", info.application_object},
                {"interface", {{"name", info.interface_name}, {"iid", info.iid}, {"members", members}}}};
  if (!info.event_interface_name.empty()) {
    Json events = Json::array();
    for (const EventInfo& event : info.events)
      events.push_back({{"name", event.name}, {"params", params_json(event.params)}});
    entry["events"] = {{"name", info.event_interface_name}, {"iid", info.event_iid}, {"members", events}};
  }
  return entry;
}

}  // namespace

std::string type_library_json(const LibraryInfo& library) {
  Json classes = Json::array();
  for (const ClassInfo* info : library.classes) classes.push_back(class_json(*info));
  Json enums = Json::array();
  for (const EnumInfo& enumeration : library.enums) {
    Json members = Json::array();
    for (const auto& [name, value] : enumeration.members) members.push_back({{"name", name}, {"value", value}});
    enums.push_back({{"name", enumeration.name}, {"members", members}});
  }
  const Json description = {
      {"name", library.name},
      {"libid", library.libid},
      {"version", std::to_string(library.major_version) + "." + std::to_string(library.minor_version)},
      {"classes", classes},
      {"enums", enums}};
  return description.dump(2);
}

std::string type_library_json(std::string_view library_name) {
  return type_library_json(resolve_library(library_name));
}

}  // namespace automation
