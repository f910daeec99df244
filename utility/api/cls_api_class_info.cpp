// clsAPI as the component runtime sees it: identifiers and members in the
// interface's slot order, each with the types hosts coerce arguments to.
#include <memory>

#include "class_infos.hpp"
#include "drumel/clsAPI.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::MemberKind;
using automation::Variant;
using automation::VarType;

clsAPI& api_of(automation::Object& self) { return static_cast<clsAPI&>(self); }
int32_t& handle_at(std::span<Variant> args, std::size_t index) { return args[index].get<int32_t>(); }
Bstr& text_at(std::span<Variant> args, std::size_t index) { return args[index].get<Bstr>(); }

std::vector<automation::MemberInfo> members() {
  return {
      {"RegQueryStringValue",
       MemberKind::kMethod,
       VarType::kBstr,
       {by_value("hKey", VarType::kI4), by_value("strValueName", VarType::kBstr)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         return api_of(self).RegQueryStringValue(handle_at(args, 0), text_at(args, 1));
       }},
      {"GetFolderName",
       MemberKind::kMethod,
       VarType::kBstr,
       {},
       [](automation::Object& self, std::span<Variant>) -> Variant { return api_of(self).GetFolderName(); }},
      {"GetString",
       MemberKind::kMethod,
       VarType::kVariant,
       {by_reference("hKey", VarType::kI4), by_reference("strPath", VarType::kBstr),
        by_reference("strValue", VarType::kBstr)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         return api_of(self).GetString(handle_at(args, 0), text_at(args, 1), text_at(args, 2));
       }},
      {"SaveString",
       MemberKind::kMethod,
       VarType::kEmpty,
       {by_reference("hKey", VarType::kI4), by_reference("strPath", VarType::kBstr),
        by_reference("strValue", VarType::kBstr), by_reference("strData", VarType::kBstr)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         api_of(self).SaveString(handle_at(args, 0), text_at(args, 1), text_at(args, 2), text_at(args, 3));
         return {};
       }},
      {"DelSetting",
       MemberKind::kMethod,
       VarType::kEmpty,
       {by_reference("hKey", VarType::kI4), by_reference("strPath", VarType::kBstr),
        by_reference("strValue", VarType::kBstr)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         api_of(self).DelSetting(handle_at(args, 0), text_at(args, 1), text_at(args, 2));
         return {};
       }},
      {"ScreenSaverAktivan",
       MemberKind::kMethod,
       VarType::kI2,
       {by_reference("Aktivan", VarType::kBool)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         return api_of(self).ScreenSaverAktivan(args[0].get<automation::VariantBool>());
       }},
      {"DOSStaza",
       MemberKind::kMethod,
       VarType::kBstr,
       {by_reference("WINStaza", VarType::kBstr)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         return api_of(self).DOSStaza(text_at(args, 0));
       }},
      {"OSVerzija",
       MemberKind::kMethod,
       VarType::kEmpty,
       {by_reference("Plat", VarType::kBstr), by_reference("Ver", VarType::kBstr),
        by_reference("Build", VarType::kBstr)},
       [](automation::Object& self, std::span<Variant> args) -> Variant {
         api_of(self).OSVerzija(text_at(args, 0), text_at(args, 1), text_at(args, 2));
         return {};
       }},
      {"GetWindowsDir",
       MemberKind::kMethod,
       VarType::kBstr,
       {},
       [](automation::Object& self, std::span<Variant>) -> Variant { return api_of(self).GetWindowsDir(); }},
      {"GetSystemDir",
       MemberKind::kMethod,
       VarType::kBstr,
       {},
       [](automation::Object& self, std::span<Variant>) -> Variant { return api_of(self).GetSystemDir(); }},
  };
}

}  // namespace

const automation::ClassInfo& clsAPI_class_info() {
  static const automation::ClassInfo info =
      drumel_class("clsAPI", "{6B716D20-27CD-4B7D-A118-81C377DAA049}", "{42B02F55-E6E0-4B38-97DF-4EA49CEAC1C7}",
                   members(), [] { return std::make_shared<clsAPI>(); });
  return info;
}

const automation::ClassInfo& clsAPI::class_info() const { return clsAPI_class_info(); }

}  // namespace drumel
