// A component server built away from the runtime's folder, so creation can
// find it only through its registration.
#include "automation/component_server.hpp"

namespace registered {
namespace {

using automation::ClassInfo;
using automation::MemberKind;
using automation::Object;
using automation::Variant;
using automation::VarType;

class Registered final : public Object {
 public:
  const ClassInfo& class_info() const override;
};

const ClassInfo& registered_class() {
  static const ClassInfo info{
      .library = "RegisteredProbe",
      .name = "clsRegistered",
      .clsid = "{0C7E55B1-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .interface_name = "_clsRegistered",
      .iid = "{0C7E55B2-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .event_interface_name = {},
      .event_iid = {},
      .events = {},
      .members = {{"answer",
                   MemberKind::kPropertyGet,
                   VarType::kI4,
                   {},
                   [](Object&, std::span<Variant>) { return Variant(int32_t{7}); }}},
      .create = [] { return std::make_shared<Registered>(); },
  };
  return info;
}

const ClassInfo& Registered::class_info() const { return registered_class(); }

const automation::LibraryInfo& library_info() {
  static const automation::LibraryInfo info{
      .name = "RegisteredProbe",
      .libid = "{0C7E55B0-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .classes = {&registered_class()},
      .enums = {},
  };
  return info;
}

}  // namespace
}  // namespace registered

AUTOMATION_COMPONENT_SERVER(registered::library_info)
