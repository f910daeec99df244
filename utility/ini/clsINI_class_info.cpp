#include <memory>

#include "class_infos.hpp"
#include "drumel/clsINI.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::MemberInfo;
using automation::MemberKind;
using automation::Variant;
using automation::VarType;

automation::ParamInfo text(std::string name) { return by_value(std::move(name), VarType::kBstr); }

clsINI& ini(automation::Object& self) { return static_cast<clsINI&>(self); }
const Bstr& text_of(const Variant& argument) { return argument.get<Bstr>(); }

// DeleteKey and DeleteKeyValue: (INIFileLoc, Section, Key), empty variant.
MemberInfo key_remover(std::string name, Variant (clsINI::*remove)(const Bstr&, const Bstr&, const Bstr&)) {
  return MemberInfo{.name = std::move(name),
                    .kind = MemberKind::kMethod,
                    .result = VarType::kVariant,
                    .params = {text("INIFileLoc"), text("Section"), text("Key")},
                    .invoke = [remove](automation::Object& self, std::span<Variant> args) {
                      return (ini(self).*remove)(text_of(args[0]), text_of(args[1]), text_of(args[2]));
                    }};
}

// GetIntVal and GetDoubleVal: (Section, Key, Default, INIFileLoc), 32-bit result.
MemberInfo number_reader(std::string name,
                         int32_t (clsINI::*read)(const Bstr&, const Bstr&, const Bstr&, const Bstr&)) {
  return MemberInfo{.name = std::move(name),
                    .kind = MemberKind::kMethod,
                    .result = VarType::kI4,
                    .params = {text("Section"), text("Key"), text("Default"), text("INIFileLoc")},
                    .invoke = [read](automation::Object& self, std::span<Variant> args) -> Variant {
                      return (ini(self).*read)(text_of(args[0]), text_of(args[1]), text_of(args[2]), text_of(args[3]));
                    }};
}

}  // namespace

const automation::ClassInfo& clsINI_class_info() {
  static const automation::ClassInfo info =
      drumel_class("clsINI", "{4CBA9105-2CFA-4B68-B4D4-063066D44984}", "{48244789-E6E3-4CC8-AE2E-F8D02655FC10}",
                   {
                       MemberInfo{.name = "GetKeyVal",
                                  .kind = MemberKind::kMethod,
                                  .result = VarType::kBstr,
                                  .params = {text("Section"), text("Key"), by_reference("Default", VarType::kBstr),
                                             text("INIFileLoc")},
                                  .invoke = [](automation::Object& self, std::span<Variant> args) -> Variant {
                                    return ini(self).GetKeyVal(text_of(args[0]), text_of(args[1]), args[2].get<Bstr>(),
                                                               text_of(args[3]));
                                  }},
                       MemberInfo{.name = "AddToINI",
                                  .kind = MemberKind::kMethod,
                                  .result = VarType::kVariant,
                                  .params = {text("Section"), text("Key"), text("Value"), text("INIFileLoc")},
                                  .invoke =
                                      [](automation::Object& self, std::span<Variant> args) {
                                        return ini(self).AddToINI(text_of(args[0]), text_of(args[1]), text_of(args[2]),
                                                                  text_of(args[3]));
                                      }},
                       MemberInfo{.name = "DeleteSection",
                                  .kind = MemberKind::kMethod,
                                  .result = VarType::kVariant,
                                  .params = {text("INIFileLoc"), text("Section")},
                                  .invoke =
                                      [](automation::Object& self, std::span<Variant> args) {
                                        return ini(self).DeleteSection(text_of(args[0]), text_of(args[1]));
                                      }},
                       key_remover("DeleteKey", &clsINI::DeleteKey),
                       key_remover("DeleteKeyValue", &clsINI::DeleteKeyValue),
                       number_reader("GetIntVal", &clsINI::GetIntVal),
                       number_reader("GetDoubleVal", &clsINI::GetDoubleVal),
                   },
                   [] { return std::static_pointer_cast<automation::Object>(std::make_shared<clsINI>()); });
  return info;
}

const automation::ClassInfo& clsINI::class_info() const { return clsINI_class_info(); }

}  // namespace drumel
