#include "envelope.hpp"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>
#include <string>

#include "automation/checked_math.hpp"
#include "automation/encrypted_data.hpp"
#include "automation/error.hpp"

namespace automation::encrypted_data {
namespace {

struct CipherContextDeleter {
  void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

// Key material that leaves no copy behind in freed memory.
class WipedBytes {
 public:
  explicit WipedBytes(std::size_t size) : bytes_(size) {}
  WipedBytes(WipedBytes&&) = default;
  WipedBytes& operator=(WipedBytes&&) = delete;
  ~WipedBytes() { OPENSSL_cleanse(bytes_.data(), bytes_.size()); }
  uint8_t* data() noexcept { return bytes_.data(); }
  std::size_t size() const noexcept { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

[[noreturn]] void raise_crypto_failure(const std::string& step) {
  raise_error(kErrCryptoFailure, "the crypto library failed to " + step);
}

[[noreturn]] void raise_bad_data(const std::string& why) {
  raise_error(kErrBadData, "the encrypted text cannot be opened: " + why);
}

const EVP_CIPHER* aes_gcm(uint32_t key_bits) {
  switch (key_bits) {
    case 128:
      return EVP_aes_128_gcm();
    case 192:
      return EVP_aes_192_gcm();
    case 256:
      return EVP_aes_256_gcm();
    default:
      return nullptr;
  }
}

WipedBytes derive_key(std::u16string_view password, std::span<const uint8_t> salt, uint32_t iterations,
                      uint32_t key_bits) {
  WipedBytes password_bytes(password.size() * 2);
  for (std::size_t i = 0; i < password.size(); ++i) {
    password_bytes.data()[2 * i] = static_cast<uint8_t>(password[i]);
    password_bytes.data()[2 * i + 1] = static_cast<uint8_t>(password[i] >> 8);
  }
  WipedBytes key(key_bits / 8);
  if (PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(password_bytes.data()),
                        checked_narrow<int>(password_bytes.size()), salt.data(), checked_narrow<int>(salt.size()),
                        checked_narrow<int>(iterations), EVP_sha256(), checked_narrow<int>(key.size()),
                        key.data()) != 1)
    raise_crypto_failure("derive the key from the password");
  return key;
}

// Reads the envelope's fields in order; running out of bytes means it was cut short.
class EnvelopeReader {
 public:
  explicit EnvelopeReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  std::size_t offset() const noexcept { return offset_; }
  std::span<const uint8_t> take(std::size_t count) {
    if (bytes_.size() - offset_ < count) raise_bad_data("it is truncated");
    const std::span<const uint8_t> field = bytes_.subspan(offset_, count);
    offset_ += count;
    return field;
  }
  uint32_t number(std::size_t byte_count) {
    uint32_t value = 0;
    for (const uint8_t byte : take(byte_count)) value = value << 8 | byte;
    return value;
  }
  std::span<const uint8_t> rest() { return take(bytes_.size() - offset_); }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t offset_ = 0;
};

void append_number(std::vector<uint8_t>& bytes, uint32_t value, std::size_t byte_count) {
  for (std::size_t i = byte_count; i-- > 0;) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void append_random(std::vector<uint8_t>& bytes, std::size_t count) {
  bytes.push_back(static_cast<uint8_t>(count));
  bytes.resize(bytes.size() + count);
  if (RAND_bytes(bytes.data() + bytes.size() - count, static_cast<int>(count)) != 1)
    raise_crypto_failure("draw random bytes");
}

CipherContext start_cipher(const EVP_CIPHER* cipher, bool encrypting, std::span<const uint8_t> nonce, WipedBytes& key,
                           std::span<const uint8_t> authenticated) {
  CipherContext context(EVP_CIPHER_CTX_new());
  int length = 0;
  if (!context || EVP_CipherInit_ex(context.get(), cipher, nullptr, nullptr, nullptr, encrypting) != 1 ||
      EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, checked_narrow<int>(nonce.size()), nullptr) != 1 ||
      EVP_CipherInit_ex(context.get(), nullptr, nullptr, key.data(), nonce.data(), encrypting) != 1 ||
      EVP_CipherUpdate(context.get(), nullptr, &length, authenticated.data(),
                       checked_narrow<int>(authenticated.size())) != 1)
    raise_crypto_failure("start AES-GCM");
  return context;
}

}  // namespace

std::vector<uint8_t> seal_envelope(std::span<const uint8_t> plaintext, std::u16string_view password,
                                   uint32_t key_bits) {
  const EVP_CIPHER* cipher = aes_gcm(key_bits);
  if (cipher == nullptr) raise_error(kErrBadAlgorithm, "AES takes no " + std::to_string(key_bits) + "-bit key");

  std::vector<uint8_t> envelope{kFormatVersion, kEnvelopeAes};
  append_number(envelope, key_bits, 2);
  envelope.push_back(kKdfPbkdf2Sha256);
  append_number(envelope, kIterations, 4);
  append_random(envelope, kSaltBytes);
  append_random(envelope, kNonceBytes);
  const std::size_t header_bytes = envelope.size();
  envelope.resize(header_bytes + kTagBytes + plaintext.size());
  const std::span<const uint8_t> header(envelope.data(), header_bytes);
  const std::span<const uint8_t> salt = header.subspan(10, kSaltBytes);
  const std::span<const uint8_t> nonce = header.subspan(11 + kSaltBytes, kNonceBytes);

  WipedBytes key = derive_key(password, salt, kIterations, key_bits);
  const CipherContext context = start_cipher(cipher, true, nonce, key, header);
  uint8_t* const tag = envelope.data() + header_bytes;
  int length = 0;
  if ((!plaintext.empty() && EVP_EncryptUpdate(context.get(), tag + kTagBytes, &length, plaintext.data(),
                                               checked_narrow<int>(plaintext.size())) != 1) ||
      EVP_EncryptFinal_ex(context.get(), tag + kTagBytes + length, &length) != 1 ||
      EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagBytes), tag) != 1)
    raise_crypto_failure("encrypt with AES-GCM");
  return envelope;
}

std::vector<uint8_t> open_envelope(std::span<const uint8_t> envelope, std::u16string_view password) {
  EnvelopeReader reader(envelope);
  if (const uint32_t version = reader.number(1); version != kFormatVersion)
    raise_bad_data("format version " + std::to_string(version) + " is not known");
  if (const uint32_t algorithm = reader.number(1); algorithm != kEnvelopeAes)
    raise_bad_data("algorithm " + std::to_string(algorithm) + " is not known");
  const uint32_t key_bits = reader.number(2);
  const EVP_CIPHER* cipher = aes_gcm(key_bits);
  if (cipher == nullptr) raise_bad_data("AES takes no " + std::to_string(key_bits) + "-bit key");
  if (const uint32_t kdf = reader.number(1); kdf != kKdfPbkdf2Sha256)
    raise_bad_data("key derivation " + std::to_string(kdf) + " is not known");
  const uint32_t iterations = reader.number(4);
  if (iterations == 0 || iterations > kMaxIterations)
    raise_bad_data(std::to_string(iterations) + " key derivation iterations are out of range");
  const std::span<const uint8_t> salt = reader.take(reader.number(1));
  const std::span<const uint8_t> nonce = reader.take(reader.number(1));
  if (nonce.empty()) raise_bad_data("the nonce is empty");
  const std::span<const uint8_t> header = envelope.first(reader.offset());
  const std::span<const uint8_t> tag = reader.take(kTagBytes);
  const std::span<const uint8_t> ciphertext = reader.rest();

  WipedBytes key = derive_key(password, salt, iterations, key_bits);
  const CipherContext context = start_cipher(cipher, false, nonce, key, header);
  std::vector<uint8_t> plaintext(ciphertext.size());
  int length = 0;
  if ((!ciphertext.empty() && EVP_DecryptUpdate(context.get(), plaintext.data(), &length, ciphertext.data(),
                                                checked_narrow<int>(ciphertext.size())) != 1) ||
      EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagBytes),
                          const_cast<uint8_t*>(tag.data())) != 1)
    raise_crypto_failure("decrypt with AES-GCM");
  if (EVP_DecryptFinal_ex(context.get(), plaintext.data() + length, &length) != 1)
    raise_bad_data("it is damaged, or the password is wrong");
  return plaintext;
}

}  // namespace automation::encrypted_data
