#include "automation/encrypted_data.hpp"

#include <openssl/crypto.h>

#include <string>

#include "automation/error.hpp"
#include "base64.hpp"
#include "encrypted_data_class_infos.hpp"
#include "envelope.hpp"

namespace automation {
namespace {

struct AlgorithmSettings {
  int32_t name = kAlgorithmAes;
  int32_t key_length = kKeyLengthMaximum;
};

// The password, wiped from memory when it is replaced or the object goes.
class Secret {
 public:
  Secret() = default;
  Secret(const Secret&) = delete;
  Secret& operator=(const Secret&) = delete;
  ~Secret() { wipe(); }
  void assign(std::u16string_view text) {
    wipe();
    text_ = text;
    set_ = true;
  }
  bool is_set() const noexcept { return set_; }
  std::u16string_view text() const noexcept { return text_; }

 private:
  void wipe() noexcept { OPENSSL_cleanse(text_.data(), text_.size() * sizeof(char16_t)); }
  std::u16string text_;
  bool set_ = false;
};

class AlgorithmObject final : public IAlgorithm {
 public:
  explicit AlgorithmObject(std::shared_ptr<AlgorithmSettings> settings) : settings_(std::move(settings)) {}
  const ClassInfo& class_info() const override { return algorithm_class_info(); }

  int32_t Name() const override { return settings_->name; }
  void Name(int32_t name) override {
    if (name < kAlgorithmRc2 || name > kAlgorithmAes)
      raise_invalid_argument("algorithm " + std::to_string(name) + " is not a known algorithm");
    settings_->name = name;
  }
  int32_t KeyLength() const override { return settings_->key_length; }
  void KeyLength(int32_t key_length) override {
    if (key_length < kKeyLengthMaximum || key_length > kKeyLength256Bits)
      raise_invalid_argument("key length " + std::to_string(key_length) + " is not a known key length");
    settings_->key_length = key_length;
  }

 private:
  std::shared_ptr<AlgorithmSettings> settings_;
};

uint32_t aes_key_bits(int32_t key_length) {
  switch (key_length) {
    case kKeyLength128Bits:
      return 128;
    case kKeyLength192Bits:
      return 192;
    case kKeyLengthMaximum:
    case kKeyLength256Bits:
      return 256;
    default:
      raise_error(kErrBadAlgorithm, "key length " + std::to_string(key_length) +
                                        " is not offered for AES: 3 (128), 4 (192) or 5 (256 bits) are");
  }
}

class EncryptedDataObject final : public IEncryptedData {
 public:
  const ClassInfo& class_info() const override { return encrypted_data_class_info(); }

  Bstr Content() const override { return content_; }
  void Content(const Bstr& content) override { content_ = content; }
  std::shared_ptr<IAlgorithm> Algorithm() override { return std::make_shared<AlgorithmObject>(settings_); }

  void SetSecret(const Bstr& secret, int32_t secret_type) override {
    if (secret_type != kSecretPassword)
      raise_invalid_argument("secret type " + std::to_string(secret_type) + " is not offered: 0 (password) is");
    // An empty password would protect nothing while looking as if it did.
    if (secret.empty()) raise_invalid_argument("the password is empty");
    secret_.assign(secret.view());
  }

  Bstr Encrypt(int32_t encoding_type) override {
    if (encoding_type != kEncodeBase64)
      raise_invalid_argument("encoding " + std::to_string(encoding_type) + " is not offered: 0 (Base64) is");
    if (settings_->name != kAlgorithmAes)
      raise_error(kErrBadAlgorithm, "algorithm " + std::to_string(settings_->name) + " is not offered: 4 (AES) is");
    const uint32_t key_bits = aes_key_bits(settings_->key_length);
    require_secret();
    const std::u16string_view text = content_.view();
    std::vector<uint8_t> plaintext(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
      plaintext[2 * i] = static_cast<uint8_t>(text[i]);
      plaintext[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
    }
    return Bstr(encrypted_data::base64_encode(encrypted_data::seal_envelope(plaintext, secret_.text(), key_bits)));
  }

  void Decrypt(const Bstr& encrypted) override {
    require_secret();
    const auto envelope = encrypted_data::base64_decode(encrypted.view());
    if (!envelope) raise_error(kErrBadData, "the encrypted text is not Base64 text");
    const std::vector<uint8_t> plaintext = encrypted_data::open_envelope(*envelope, secret_.text());
    if (plaintext.size() % 2 != 0) raise_error(kErrBadData, "the decrypted content is not UTF-16 text");
    std::u16string text(plaintext.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(plaintext[2 * i] | plaintext[2 * i + 1] << 8);
    content_ = Bstr(std::move(text));
  }

 private:
  void require_secret() const {
    if (!secret_.is_set()) raise_invalid_argument("no password is set: call SetSecret first");
  }

  Bstr content_{u""};
  std::shared_ptr<AlgorithmSettings> settings_ = std::make_shared<AlgorithmSettings>();
  Secret secret_;
};

}  // namespace

ObjectRef new_encrypted_data_object() { return std::make_shared<EncryptedDataObject>(); }

IAlgorithm::~IAlgorithm() = default;
IEncryptedData::~IEncryptedData() = default;

}  // namespace automation
