#include "drumel/clsEncript.hpp"

#include "adler.hpp"
#include "md5.hpp"
#include "password_encryption.hpp"
#include "random_integer.hpp"
#include "text_cipher.hpp"

namespace drumel {

using automation::Bstr;
using automation::Variant;

Bstr clsEncript::MD5(Bstr& sMessage) { return Bstr(encript::md5_hex(encript::md5_of_low_bytes(sMessage.view()))); }

int32_t clsEncript::RndF(int32_t ub, int32_t lb) { return encript::random_between(ub, lb); }

Bstr clsEncript::encrypt(Bstr& Kljuc, Bstr& rijec) { return encript::encrypt_with_password(Kljuc, rijec); }

Bstr clsEncript::decrypt(Bstr& Kljuc, Bstr& sifra) { return encript::decrypt_with_password(Kljuc, sifra); }

Variant clsEncript::EncryptText(Bstr& strText, Bstr strPwd) {
  return Variant(encript::shift_text(strText, strPwd.view(), encript::CipherDirection::kEncipher));
}

Variant clsEncript::DecryptText(Bstr& strText, Bstr strPwd) {
  return Variant(encript::shift_text(strText, strPwd.view(), encript::CipherDirection::kDecipher));
}

int32_t clsEncript::Adler32(Bstr& V_Data) { return encript::adler32_shifted(V_Data.view()); }

int32_t clsEncript::Adler16(Bstr& V_Data) { return encript::adler16_packed(V_Data.view()); }

}  // namespace drumel
