#include "password_encryption.hpp"

#include <exception>
#include <memory>

#include "automation/class_registry.hpp"
#include "automation/encrypted_data.hpp"
#include "automation/error.hpp"

namespace drumel::encript {
namespace {

constexpr int32_t kErrNoExpectedInterface = 430;

// Created anew for each call, by class identifier, so a host's registration decides what answers.
std::shared_ptr<automation::IEncryptedData> create_encrypted_data() {
  auto data =
      std::dynamic_pointer_cast<automation::IEncryptedData>(automation::create_object(automation::kEncryptedDataClsid));
  if (!data)
    automation::raise_error(kErrNoExpectedInterface, std::string("the object registered as ") +
                                                         automation::kEncryptedDataClsid +
                                                         " does not offer the encrypted-data interface");
  return data;
}

}  // namespace

automation::Bstr encrypt_with_password(const automation::Bstr& password, const automation::Bstr& plaintext) noexcept {
  try {
    const auto data = create_encrypted_data();
    // AES with a 256-bit key: a 40-bit RC4 key falls to brute force in hours.
    data->Algorithm()->KeyLength(automation::kKeyLength256Bits);
    data->Algorithm()->Name(automation::kAlgorithmAes);
    data->SetSecret(password, automation::kSecretPassword);
    data->Content(plaintext);
    return data->Encrypt(automation::kEncodeBase64);
  } catch (const std::exception&) {
    return automation::Bstr(u"");
  }
}

automation::Bstr decrypt_with_password(const automation::Bstr& password, const automation::Bstr& encrypted) noexcept {
  try {
    const auto data = create_encrypted_data();
    data->SetSecret(password, automation::kSecretPassword);
    data->Decrypt(encrypted);
    return data->Content();
  } catch (const std::exception&) {
    return automation::Bstr(u"");
  }
}

}  // namespace drumel::encript
