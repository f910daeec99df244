// The platform's encrypted-data component: password-based encryption of a
// text into Base64 text and back. Hosts create it by its class identifier
// through the class registry and drive it through these two interfaces.
#pragma once

#include <cstdint>
#include <memory>

#include "automation/object.hpp"

namespace automation {

inline constexpr char kEncryptedDataClsid[] = "{A440BD76-CFE1-4D46-AB1F-15F238437A3D}";

// Values of Algorithm.Name; only AES is offered, the others are refused by Encrypt.
inline constexpr int32_t kAlgorithmRc2 = 0;
inline constexpr int32_t kAlgorithmRc4 = 1;
inline constexpr int32_t kAlgorithmDes = 2;
inline constexpr int32_t kAlgorithm3Des = 3;
inline constexpr int32_t kAlgorithmAes = 4;

// Values of Algorithm.KeyLength; AES takes 128, 192 or 256 bits (maximum: 256).
inline constexpr int32_t kKeyLengthMaximum = 0;
inline constexpr int32_t kKeyLength40Bits = 1;
inline constexpr int32_t kKeyLength56Bits = 2;
inline constexpr int32_t kKeyLength128Bits = 3;
inline constexpr int32_t kKeyLength192Bits = 4;
inline constexpr int32_t kKeyLength256Bits = 5;

inline constexpr int32_t kSecretPassword = 0;
inline constexpr int32_t kEncodeBase64 = 0;

// Error numbers of the component, as the platform reports them.
inline constexpr int32_t kErrBadData = static_cast<int32_t>(0x80090005);        // damaged text or wrong password
inline constexpr int32_t kErrBadAlgorithm = static_cast<int32_t>(0x80090008);   // algorithm or key length not offered
inline constexpr int32_t kErrCryptoFailure = static_cast<int32_t>(0x80090020);  // the crypto library failed

// Settings shared by every Algorithm object that one encrypted-data object hands out.
class AUTOMATION_RUNTIME_API IAlgorithm : public Object {
 public:
  ~IAlgorithm() override;
  virtual int32_t Name() const = 0;
  virtual void Name(int32_t name) = 0;
  virtual int32_t KeyLength() const = 0;
  virtual void KeyLength(int32_t key_length) = 0;
};

class AUTOMATION_RUNTIME_API IEncryptedData : public Object {
 public:
  ~IEncryptedData() override;
  virtual Bstr Content() const = 0;
  virtual void Content(const Bstr& content) = 0;
  virtual std::shared_ptr<IAlgorithm> Algorithm() = 0;
  virtual void SetSecret(const Bstr& secret, int32_t secret_type) = 0;
  // Content encrypted with the secret and the algorithm settings.
  virtual Bstr Encrypt(int32_t encoding_type) = 0;
  // On success Content holds the plaintext; on failure it keeps its value.
  virtual void Decrypt(const Bstr& encrypted) = 0;
};

}  // namespace automation
