// clsEncript: MD5 digests, Adler checksums, a password cipher for text,
// password encryption and random integers. Keeps nothing between calls.
#pragma once

#include <cstdint>

#include "automation/object.hpp"
#include "drumel/api.hpp"

namespace drumel {

class DRUMEL_API clsEncript : public automation::Object {
 public:
  const automation::ClassInfo& class_info() const override;

  // 32 lower-case hex digits of the MD5 of the low byte of each UTF-16 code unit.
  automation::Bstr MD5(automation::Bstr& sMessage);
  // A random integer from lb to ub (ub + 1 to lb when ub < lb − 1), reseeded from the clock.
  int32_t RndF(int32_t ub, int32_t lb);
  // Base64 text of rijec encrypted with the password Kljuc; empty on any failure.
  automation::Bstr encrypt(automation::Bstr& Kljuc, automation::Bstr& rijec);
  // The plaintext of sifra; empty on any failure (a wrong password included).
  automation::Bstr decrypt(automation::Bstr& Kljuc, automation::Bstr& sifra);
  automation::Variant EncryptText(automation::Bstr& strText, automation::Bstr strPwd);
  automation::Variant DecryptText(automation::Bstr& strText, automation::Bstr strPwd);
  int32_t Adler32(automation::Bstr& V_Data);
  int32_t Adler16(automation::Bstr& V_Data);
};

}  // namespace drumel
