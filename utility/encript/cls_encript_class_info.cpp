// clsEncript as the component runtime sees it: identifiers and members in the
// interface's slot order.
#include <memory>

#include "automation/class_binder.hpp"
#include "class_infos.hpp"
#include "drumel/clsEncript.hpp"

namespace drumel {

const automation::ClassInfo& clsEncript_class_info() {
  static const automation::ClassInfo info =
      automation::ClassBinder<clsEncript>(drumel_class("clsEncript", "{9FFBAB46-BB02-47AC-A73D-C340166C7B4D}",
                                                       "{FAD2D541-51CC-4A27-A83E-E2B0A4ECCE82}",
                                                       [] { return std::make_shared<clsEncript>(); }))
          .method("MD5", &clsEncript::MD5, {"sMessage"})
          .method("RndF", &clsEncript::RndF, {"ub", "lb"})
          .method("encrypt", &clsEncript::encrypt, {"Kljuc", "rijec"})
          .method("decrypt", &clsEncript::decrypt, {"Kljuc", "sifra"})
          .method("EncryptText", &clsEncript::EncryptText, {"strText", "strPwd"})
          .method("DecryptText", &clsEncript::DecryptText, {"strText", "strPwd"})
          .method("Adler32", &clsEncript::Adler32, {"V_Data"})
          .method("Adler16", &clsEncript::Adler16, {"V_Data"})
          .info();
  return info;
}

const automation::ClassInfo& clsEncript::class_info() const { return clsEncript_class_info(); }

}  // namespace drumel
