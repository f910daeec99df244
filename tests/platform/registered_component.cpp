// A component server built away from the runtime's folder, so creation can
// find it only through its registration.
#include "answer_class.hpp"
#include "automation/component_server.hpp"

namespace registered {
namespace {

using automation::ClassInfo;
using automation::Object;

class Registered final : public Object {
 public:
  const ClassInfo& class_info() const override;
};

const ClassInfo& registered_class() {
  static const ClassInfo info = test_support::answer_class<Registered>("RegisteredProbe", "clsRegistered",
                                                                       "{0C7E55B1-5D1B-4C44-9A57-6B1E0D2F3A41}",
                                                                       "{0C7E55B2-5D1B-4C44-9A57-6B1E0D2F3A41}", 7);
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
