// clsFile as a component: creation and the automation interface _clsFile.
#include <span>

#include "class_infos.hpp"
#include "crc32_engine.hpp"
#include "drumel/clsFile.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::MemberInfo;
using automation::MemberKind;
using automation::Variant;
using automation::VariantBool;
using automation::VarType;

clsFile& self_of(automation::Object& self) { return static_cast<clsFile&>(self); }

automation::ParamInfo path_param(const char* name) { return by_reference(name, VarType::kBstr); }

automation::ParamInfo flag_param(const char* name) {
  return {.name = name, .type = VarType::kBool, .optional = true, .default_value = Variant(automation::kFalse)};
}

// CRC32File and CRC32FileHex share their arguments. The dispatch layer hands
// every argument over, defaults filled in and coerced.
template <class Method>
automation::Invoker crc_invoker(Method method) {
  return [method](automation::Object& self, std::span<Variant> args) -> Variant {
    return Variant(
        (self_of(self).*method)(args[0].get<Bstr>(), args[1].get<VariantBool>(), args[2].get<VariantBool>()));
  };
}

std::vector<MemberInfo> members() {
  return {
      {.name = "CRCInit",
       .kind = MemberKind::kMethod,
       .result = VarType::kEmpty,
       .params =
           {{.name = "Poly", .type = VarType::kI4, .optional = true, .default_value = Variant(clsFile::kDefaultPoly)}},
       .invoke = [](automation::Object& self, std::span<Variant> args) -> Variant {
         self_of(self).CRCInit(args[0].get<int32_t>());
         return {};
       }},
      {.name = "CRC32File",
       .kind = MemberKind::kMethod,
       .result = VarType::kI4,
       .params = {path_param("Path"), flag_param("Check"), flag_param("Add")},
       .invoke = crc_invoker(&clsFile::CRC32File)},
      {.name = "CRC32FileHex",
       .kind = MemberKind::kMethod,
       .result = VarType::kBstr,
       .params = {path_param("Path"), flag_param("Check"), flag_param("Add")},
       .invoke = crc_invoker(&clsFile::CRC32FileHex)},
      {.name = "LoadText",
       .kind = MemberKind::kMethod,
       .result = VarType::kBstr,
       .params = {path_param("FromFile")},
       .invoke = [](automation::Object& self, std::span<Variant> args) -> Variant {
         return Variant(self_of(self).LoadText(args[0].get<Bstr>()));
       }},
      {.name = "SaveText",
       .kind = MemberKind::kMethod,
       .result = VarType::kBool,
       .params = {path_param("Text"), path_param("FileName")},
       .invoke = [](automation::Object& self, std::span<Variant> args) -> Variant {
         return Variant(self_of(self).SaveText(args[0].get<Bstr>(), args[1].get<Bstr>()));
       }},
      {.name = "FileExists",
       .kind = MemberKind::kMethod,
       .result = VarType::kBool,
       .params = {path_param("FileName")},
       .invoke = [](automation::Object& self, std::span<Variant> args) -> Variant {
         return Variant(self_of(self).FileExists(args[0].get<Bstr>()));
       }},
  };
}

}  // namespace

const automation::ClassInfo& clsFile_class_info() {
  static const automation::ClassInfo info =
      drumel_class("clsFile", "{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}", "{AA773800-8CC9-4BF3-89BD-4CC97F0E73ED}",
                   members(), [] { return std::static_pointer_cast<automation::Object>(clsFile::create()); });
  return info;
}

clsFile::clsFile() = default;
clsFile::~clsFile() = default;

std::shared_ptr<clsFile> clsFile::create() { return std::shared_ptr<clsFile>(new clsFile()); }

const automation::ClassInfo& clsFile::class_info() const { return clsFile_class_info(); }

}  // namespace drumel
