#include "class_infos.hpp"
#include "drumel/clsEncript.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::MemberKind;
using automation::Variant;
using automation::VarType;

automation::ParamInfo string_by_ref(std::string name) { return by_reference(std::move(name), VarType::kBstr); }

clsEncript& self_of(automation::Object& self) { return static_cast<clsEncript&>(self); }

}  // namespace

const automation::ClassInfo& clsEncript_class_info() {
  static const automation::ClassInfo info =
      drumel_class("clsEncript", "{9FFBAB46-BB02-47AC-A73D-C340166C7B4D}", "{FAD2D541-51CC-4A27-A83E-E2B0A4ECCE82}",
                   {
                       {"MD5",
                        MemberKind::kMethod,
                        VarType::kBstr,
                        {string_by_ref("sMessage")},
                        [](automation::Object& self, std::span<Variant> args) {
                          return Variant(self_of(self).MD5(args[0].get<Bstr>()));
                        }},
                       {"RndF",
                        MemberKind::kMethod,
                        VarType::kI4,
                        {by_value("ub", VarType::kI4), by_value("lb", VarType::kI4)},
                        [](automation::Object& self, std::span<Variant> args) {
                          return Variant(self_of(self).RndF(args[0].get<int32_t>(), args[1].get<int32_t>()));
                        }},
                       {"encrypt",
                        MemberKind::kMethod,
                        VarType::kBstr,
                        {string_by_ref("Kljuc"), string_by_ref("rijec")},
                        [](automation::Object& self, std::span<Variant> args) {
                          return Variant(self_of(self).encrypt(args[0].get<Bstr>(), args[1].get<Bstr>()));
                        }},
                       {"decrypt",
                        MemberKind::kMethod,
                        VarType::kBstr,
                        {string_by_ref("Kljuc"), string_by_ref("sifra")},
                        [](automation::Object& self, std::span<Variant> args) {
                          return Variant(self_of(self).decrypt(args[0].get<Bstr>(), args[1].get<Bstr>()));
                        }},
                       {"EncryptText",
                        MemberKind::kMethod,
                        VarType::kVariant,
                        {string_by_ref("strText"), by_value("strPwd", VarType::kBstr)},
                        [](automation::Object& self, std::span<Variant> args) {
                          return self_of(self).EncryptText(args[0].get<Bstr>(), args[1].get<Bstr>());
                        }},
                       {"DecryptText",
                        MemberKind::kMethod,
                        VarType::kVariant,
                        {string_by_ref("strText"), by_value("strPwd", VarType::kBstr)},
                        [](automation::Object& self, std::span<Variant> args) {
                          return self_of(self).DecryptText(args[0].get<Bstr>(), args[1].get<Bstr>());
                        }},
                       {"Adler32",
                        MemberKind::kMethod,
                        VarType::kI4,
                        {string_by_ref("V_Data")},
                        [](automation::Object& self, std::span<Variant> args) {
                          return Variant(self_of(self).Adler32(args[0].get<Bstr>()));
                        }},
                       {"Adler16",
                        MemberKind::kMethod,
                        VarType::kI4,
                        {string_by_ref("V_Data")},
                        [](automation::Object& self, std::span<Variant> args) {
                          return Variant(self_of(self).Adler16(args[0].get<Bstr>()));
                        }},
                   },
                   [] { return automation::ObjectRef(std::make_shared<clsEncript>()); });
  return info;
}

}  // namespace drumel
