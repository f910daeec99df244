#include "automation/encrypted_data.hpp"

#include <openssl/crypto.h>

#include <string>

#include "automation/class_registry.hpp"
#include "automation/error.hpp"
#include "base64.hpp"
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

const ClassInfo& algorithm_class_info();
const ClassInfo& encrypted_data_class_info();

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

template <class Interface>
Interface& as(Object& self) {
  return static_cast<Interface&>(self);
}

ParamInfo param(std::string name, VarType type, Variant default_value = {}) {
  const bool optional = !default_value.is_empty();
  return ParamInfo{std::move(name), type, false, optional, std::move(default_value)};
}

const ClassInfo& algorithm_class_info() {
  static const ClassInfo info{
      .library = "Platform",
      .name = "Algorithm",
      .clsid = "{2C6E0C94-8E31-4A6C-9D0B-53F4C6A1E2B7}",
      .interface_name = "IAlgorithm",
      .iid = "{BF3D04A9-B0DA-4153-B45E-6CCFA5AC715B}",
      .event_interface_name = {},
      .event_iid = {},
      .events = {},
      .members =
          {
              {"Name",
               MemberKind::kPropertyGet,
               VarType::kI4,
               {},
               [](Object& self, std::span<Variant>) { return Variant(as<IAlgorithm>(self).Name()); }},
              {"Name",
               MemberKind::kPropertyPut,
               VarType::kEmpty,
               {param("Name", VarType::kI4)},
               [](Object& self, std::span<Variant> args) {
                 as<IAlgorithm>(self).Name(args[0].get<int32_t>());
                 return Variant();
               }},
              {"KeyLength",
               MemberKind::kPropertyGet,
               VarType::kI4,
               {},
               [](Object& self, std::span<Variant>) { return Variant(as<IAlgorithm>(self).KeyLength()); }},
              {"KeyLength",
               MemberKind::kPropertyPut,
               VarType::kEmpty,
               {param("KeyLength", VarType::kI4)},
               [](Object& self, std::span<Variant> args) {
                 as<IAlgorithm>(self).KeyLength(args[0].get<int32_t>());
                 return Variant();
               }},
          },
      .application_object = false,
      .create = {},  // handed out by EncryptedData.Algorithm only
  };
  return info;
}

const ClassInfo& encrypted_data_class_info() {
  static const ClassInfo info{
      .library = "Platform",
      .name = "EncryptedData",
      .clsid = kEncryptedDataClsid,
      .interface_name = "IEncryptedData",
      .iid = "{C4778A66-972F-42E4-87C5-5CC16F7931CA}",
      .event_interface_name = {},
      .event_iid = {},
      .events = {},
      .members =
          {
              {"Content",
               MemberKind::kPropertyGet,
               VarType::kBstr,
               {},
               [](Object& self, std::span<Variant>) { return Variant(as<IEncryptedData>(self).Content()); }},
              {"Content",
               MemberKind::kPropertyPut,
               VarType::kEmpty,
               {param("Content", VarType::kBstr)},
               [](Object& self, std::span<Variant> args) {
                 as<IEncryptedData>(self).Content(args[0].get<Bstr>());
                 return Variant();
               }},
              {"Algorithm",
               MemberKind::kPropertyGet,
               VarType::kDispatch,
               {},
               [](Object& self, std::span<Variant>) {
                 return Variant(ObjectRef(as<IEncryptedData>(self).Algorithm()));
               }},
              {"SetSecret",
               MemberKind::kMethod,
               VarType::kEmpty,
               {param("Secret", VarType::kBstr), param("SecretType", VarType::kI4, Variant(kSecretPassword))},
               [](Object& self, std::span<Variant> args) {
                 as<IEncryptedData>(self).SetSecret(args[0].get<Bstr>(), args[1].get<int32_t>());
                 return Variant();
               }},
              {"Encrypt",
               MemberKind::kMethod,
               VarType::kBstr,
               {param("EncodingType", VarType::kI4, Variant(kEncodeBase64))},
               [](Object& self, std::span<Variant> args) {
                 return Variant(as<IEncryptedData>(self).Encrypt(args[0].get<int32_t>()));
               }},
              {"Decrypt",
               MemberKind::kMethod,
               VarType::kEmpty,
               {param("EncryptedString", VarType::kBstr)},
               [](Object& self, std::span<Variant> args) {
                 as<IEncryptedData>(self).Decrypt(args[0].get<Bstr>());
                 return Variant();
               }},
          },
      .application_object = false,
      .create = [] { return ObjectRef(std::make_shared<EncryptedDataObject>()); },
  };
  return info;
}

const LibraryInfo& platform_library_info() {
  static const LibraryInfo info{
      .name = "Platform",
      .libid = "{7D0F4B52-3A9E-4C1B-8F26-E5A4D9C07B13}",
      .major_version = 1,
      .minor_version = 0,
      .classes = {&encrypted_data_class_info(), &algorithm_class_info()},
      .enums = {},
  };
  return info;
}

// Part of the runtime rather than a component server of its own: known as
// soon as the runtime is loaded, like the platform's own classes.
[[maybe_unused]] const bool platform_library_registered = [] {
  register_library(platform_library_info());
  return true;
}();

}  // namespace

IAlgorithm::~IAlgorithm() = default;
IEncryptedData::~IEncryptedData() = default;

}  // namespace automation
