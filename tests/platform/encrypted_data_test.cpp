#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/encrypted_data.hpp"
#include "automation/error.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

using Bytes = std::vector<uint8_t>;

// An independent reading of the envelope format, built straight on libcrypto.
struct OracleEnvelope {
  uint8_t version = 1;
  uint8_t algorithm = 4;
  uint16_t key_bits = 256;
  uint8_t kdf = 1;
  uint32_t iterations = 1000;  // cheap: the component opens any count up to its cap
  Bytes salt = Bytes(16, 0x5A);
  Bytes nonce = Bytes(12, 0xA5);
};

Bytes utf16le(std::u16string_view text) {
  Bytes bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

Bytes derive(std::u16string_view password, const Bytes& salt, uint32_t iterations, int key_bits) {
  const Bytes secret = utf16le(password);
  Bytes key(static_cast<std::size_t>(key_bits / 8));
  EXPECT_EQ(PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(secret.data()), static_cast<int>(secret.size()),
                              salt.data(), static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                              static_cast<int>(key.size()), key.data()),
            1);
  return key;
}

const EVP_CIPHER* gcm(int key_bits) {
  return key_bits == 128 ? EVP_aes_128_gcm() : key_bits == 192 ? EVP_aes_192_gcm() : EVP_aes_256_gcm();
}

std::u16string to_base64(const Bytes& bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(), static_cast<int>(bytes.size()))));
  return std::u16string(text.begin(), text.end());
}

Bytes from_base64(std::u16string_view text) {
  const std::string ascii(text.begin(), text.end());
  Bytes bytes(ascii.size() / 4 * 3);
  const int length = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(ascii.data()),
                                     static_cast<int>(ascii.size()));
  EXPECT_GE(length, 0);
  bytes.resize(static_cast<std::size_t>(length) - (ascii.ends_with("==") ? 2 : ascii.ends_with("=") ? 1 : 0));
  return bytes;
}

Bytes oracle_seal(std::u16string_view text, std::u16string_view password, const OracleEnvelope& e) {
  Bytes envelope{e.version, e.algorithm, static_cast<uint8_t>(e.key_bits >> 8), static_cast<uint8_t>(e.key_bits),
                 e.kdf};
  for (const int shift : {24, 16, 8, 0}) envelope.push_back(static_cast<uint8_t>(e.iterations >> shift));
  envelope.push_back(static_cast<uint8_t>(e.salt.size()));
  envelope.insert(envelope.end(), e.salt.begin(), e.salt.end());
  envelope.push_back(static_cast<uint8_t>(e.nonce.size()));
  envelope.insert(envelope.end(), e.nonce.begin(), e.nonce.end());
  const std::size_t header = envelope.size();
  const Bytes plaintext = utf16le(text);
  envelope.resize(header + 16 + plaintext.size());
  const Bytes key = derive(password, e.salt, e.iterations, e.key_bits);
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  int length = 0;
  EVP_EncryptInit_ex(context.get(), gcm(e.key_bits), nullptr, nullptr, nullptr);
  EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(e.nonce.size()), nullptr);
  EVP_EncryptInit_ex(context.get(), nullptr, nullptr, key.data(), e.nonce.data());
  EVP_EncryptUpdate(context.get(), nullptr, &length, envelope.data(), static_cast<int>(header));
  EVP_EncryptUpdate(context.get(), envelope.data() + header + 16, &length, plaintext.data(),
                    static_cast<int>(plaintext.size()));
  EVP_EncryptFinal_ex(context.get(), envelope.data() + header + 16 + length, &length);
  EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, 16, envelope.data() + header);
  return envelope;
}

std::shared_ptr<IEncryptedData> create_encrypted_data() {
  auto data = std::dynamic_pointer_cast<IEncryptedData>(create_object(kEncryptedDataClsid));
  EXPECT_NE(data, nullptr);
  return data;
}

std::u16string encrypt(std::u16string_view text, std::u16string_view password, int32_t key_length) {
  auto data = create_encrypted_data();
  data->Algorithm()->KeyLength(key_length);
  data->Algorithm()->Name(kAlgorithmAes);
  data->SetSecret(Bstr(password), kSecretPassword);
  data->Content(Bstr(text));
  return data->Encrypt(kEncodeBase64).str();
}

std::u16string decrypt(std::u16string_view encrypted, std::u16string_view password) {
  auto data = create_encrypted_data();
  data->SetSecret(Bstr(password), kSecretPassword);
  data->Decrypt(Bstr(encrypted));
  return data->Content().str();
}

// Each Encrypt or Decrypt here pays the full key-derivation cost; the tests
// that need many openings use cheap envelopes built by the oracle.
TEST(EncryptedData, SealsAnyTextInAFreshEnvelopeThatLibcryptoAloneOpens) {
  const std::u16string text = u"\u010D\u0161\u017E \u20AC \U0001F600 \xD800 nul:" + std::u16string(1, u'\0');
  const std::u16string first = encrypt(text, u"pass", kKeyLengthMaximum);
  const std::u16string second = encrypt(text, u"pass", kKeyLength256Bits);
  EXPECT_NE(first, second);  // fresh salt and nonce every time
  EXPECT_EQ(decrypt(second, u"pass"), text);

  const Bytes envelope = from_base64(first);
  ASSERT_EQ(envelope.size(), 27u + 16 + 12 + 2 * text.size());
  EXPECT_EQ(Bytes(envelope.begin(), envelope.begin() + 10), (Bytes{1, 4, 1, 0, 1, 0x00, 0x09, 0x27, 0xC0, 16}));
  EXPECT_EQ(envelope[26], 12);
  const Bytes other = from_base64(second);
  EXPECT_NE(Bytes(envelope.begin() + 10, envelope.begin() + 26), Bytes(other.begin() + 10, other.begin() + 26));
  EXPECT_NE(Bytes(envelope.begin() + 27, envelope.begin() + 39), Bytes(other.begin() + 27, other.begin() + 39));

  OracleEnvelope settings;
  settings.iterations = 600000;
  settings.salt.assign(envelope.begin() + 10, envelope.begin() + 26);
  settings.nonce.assign(envelope.begin() + 27, envelope.begin() + 39);
  EXPECT_EQ(oracle_seal(text, u"pass", settings), envelope);
}

TEST(EncryptedData, SealsEmptyTextAndTheShorterAesKeys) {
  const std::u16string empty = encrypt(u"", u"pass", kKeyLength128Bits);
  EXPECT_EQ(from_base64(empty)[3], 128);
  EXPECT_EQ(decrypt(empty, u"pass"), u"");
  const Bytes envelope = from_base64(encrypt(u"x", u"pass", kKeyLength192Bits));
  EXPECT_EQ(envelope.size(), 27u + 16 + 12 + 2);
  EXPECT_EQ(envelope[3], 192);
}

TEST(EncryptedData, OpensEnvelopesBuiltElsewhereAndSkipsLineBreaks) {
  for (const int key_bits : {128, 192, 256}) {
    OracleEnvelope settings;
    settings.key_bits = static_cast<uint16_t>(key_bits);
    std::u16string text = to_base64(oracle_seal(u"\u0160ifra", u"kljuc", settings));
    text.insert(20, u"\r\n");
    EXPECT_EQ(decrypt(text, u"kljuc"), u"\u0160ifra") << key_bits;
  }
  EXPECT_EQ(decrypt(to_base64(oracle_seal(u"", u"kljuc", OracleEnvelope{})), u"kljuc"), u"");
}

TEST(EncryptedData, EveryChangedOrMissingByteAndAWrongPasswordFail) {
  const Bytes envelope = oracle_seal(u"secret", u"right", OracleEnvelope{});
  auto data = create_encrypted_data();
  data->Content(Bstr(u"before"));
  data->SetSecret(Bstr(u"right"), kSecretPassword);
  for (std::size_t i = 0; i < envelope.size(); ++i) {
    Bytes damaged = envelope;
    damaged[i] ^= 0x01;
    SCOPED_TRACE(i);
    EXPECT_THAT([&] { data->Decrypt(Bstr(to_base64(damaged))); }, RaisesAutomationError(kErrBadData));
  }
  for (std::size_t length = 0; length < envelope.size(); ++length) {
    SCOPED_TRACE(length);
    const Bytes truncated(envelope.begin(), envelope.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_THAT([&] { data->Decrypt(Bstr(to_base64(truncated))); }, RaisesAutomationError(kErrBadData));
  }
  EXPECT_EQ(data->Content().str(), u"before");
  data->SetSecret(Bstr(u"Right"), kSecretPassword);
  EXPECT_THAT([&] { data->Decrypt(Bstr(to_base64(envelope))); }, RaisesAutomationError(kErrBadData));
  data->SetSecret(Bstr(u"right"), kSecretPassword);
  data->Decrypt(Bstr(to_base64(envelope)));
  EXPECT_EQ(data->Content().str(), u"secret");
}

// A forged envelope must not tie the caller up in key derivation: counts past
// the cap are refused before any round runs (ten million take seconds).
TEST(EncryptedData, IterationCountsOutsideTheCapAreRefusedAtOnce) {
  Bytes envelope = oracle_seal(u"secret", u"pass", OracleEnvelope{});
  auto data = create_encrypted_data();
  data->SetSecret(Bstr(u"pass"), kSecretPassword);
  // A little over three times what sealing uses; a forged envelope asking
  // for more could cost seconds of CPU per attempt.
  constexpr uint32_t kMostIterations = 2000000;
  for (const uint32_t iterations : {0u, kMostIterations + 1, 10000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(iterations);
    for (std::size_t i = 0; i < 4; ++i) envelope[5 + i] = static_cast<uint8_t>(iterations >> (24 - 8 * i));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THAT([&] { data->Decrypt(Bstr(to_base64(envelope))); },
                RaisesAutomationError(kErrBadData, ::testing::HasSubstr("iterations are out of range")));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  }
}

TEST(EncryptedData, TextThatIsNotCanonicalBase64Fails) {
  auto data = create_encrypted_data();
  data->SetSecret(Bstr(u"pass"), kSecretPassword);
  const std::u16string_view garbage[] = {u"",     u"not base64!",   u"QUJD*A==", u"QUJ",     u"QR==",
                                         u"Q===", u"QUJD\u0100AAA", u"=QUJ",     u"QUJDRA=="};
  for (const std::u16string_view text : garbage) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    EXPECT_THAT([&] { data->Decrypt(Bstr(text)); }, RaisesAutomationError(kErrBadData));
  }
}

TEST(EncryptedData, RefusesWhatItDoesNotOffer) {
  for (const int32_t weak : {kAlgorithmRc2, kAlgorithmRc4, kAlgorithmDes, kAlgorithm3Des}) {
    auto data = create_encrypted_data();
    data->SetSecret(Bstr(u"pass"), kSecretPassword);
    data->Algorithm()->Name(weak);
    EXPECT_THAT([&] { data->Encrypt(kEncodeBase64); }, RaisesAutomationError(kErrBadAlgorithm));
  }
  for (const int32_t short_key : {kKeyLength40Bits, kKeyLength56Bits}) {
    auto data = create_encrypted_data();
    data->SetSecret(Bstr(u"pass"), kSecretPassword);
    data->Algorithm()->KeyLength(short_key);
    EXPECT_THAT([&] { data->Encrypt(kEncodeBase64); }, RaisesAutomationError(kErrBadAlgorithm));
  }
  auto data = create_encrypted_data();
  EXPECT_THAT([&] { data->Encrypt(kEncodeBase64); },
              RaisesAutomationError(kErrInvalidProcedureCall));  // no password yet
  EXPECT_THAT([&] { data->Decrypt(Bstr(u"QUJD")); }, RaisesAutomationError(kErrInvalidProcedureCall));
  EXPECT_THAT([&] { data->SetSecret(Bstr(u""), kSecretPassword); }, RaisesAutomationError(kErrInvalidProcedureCall));
  EXPECT_THAT([&] { data->SetSecret(Bstr(u"pass"), 1); }, RaisesAutomationError(kErrInvalidProcedureCall));
  data->SetSecret(Bstr(u"pass"), kSecretPassword);
  EXPECT_THAT([&] { data->Encrypt(1); }, RaisesAutomationError(kErrInvalidProcedureCall));
  EXPECT_THAT([&] { data->Algorithm()->Name(5); }, RaisesAutomationError(kErrInvalidProcedureCall));
  EXPECT_THAT([&] { data->Algorithm()->KeyLength(-1); }, RaisesAutomationError(kErrInvalidProcedureCall));
}

TEST(EncryptedData, AlgorithmObjectsShareTheirOwnersSettings) {
  auto data = create_encrypted_data();
  EXPECT_EQ(data->Algorithm()->Name(), kAlgorithmAes);
  EXPECT_EQ(data->Algorithm()->KeyLength(), kKeyLengthMaximum);
  data->Algorithm()->KeyLength(kKeyLength40Bits);
  data->Algorithm()->Name(kAlgorithmRc4);
  EXPECT_EQ(data->Algorithm()->KeyLength(), kKeyLength40Bits);
  EXPECT_EQ(data->Algorithm()->Name(), kAlgorithmRc4);
  EXPECT_EQ(create_encrypted_data()->Algorithm()->Name(), kAlgorithmAes);
}

const MemberInfo& member(const ClassInfo& info, std::string_view name, MemberKind kind) {
  for (const MemberInfo& candidate : info.members)
    if (candidate.name == name && candidate.kind == kind) return candidate;
  throw std::runtime_error("no member " + std::string(name));
}

TEST(EncryptedData, WorksLateBoundByProgramIdentifier) {
  const ObjectRef object = create_object("Platform.EncryptedData");
  const ClassInfo& info = object->class_info();
  EXPECT_EQ(info.iid, "{C4778A66-972F-42E4-87C5-5CC16F7931CA}");
  std::vector<Variant> no_args;
  Variant algorithm = member(info, "Algorithm", MemberKind::kPropertyGet).invoke(*object, no_args);
  Object& algorithm_object = *algorithm.get<ObjectRef>();
  EXPECT_EQ(algorithm_object.class_info().iid, "{BF3D04A9-B0DA-4153-B45E-6CCFA5AC715B}");
  std::vector<Variant> key_length{Variant(kKeyLength128Bits)};
  member(algorithm_object.class_info(), "KeyLength", MemberKind::kPropertyPut).invoke(algorithm_object, key_length);

  OracleEnvelope settings;
  settings.key_bits = 128;
  std::vector<Variant> secret{Variant(Bstr(u"pass")), Variant(kSecretPassword)};
  member(info, "SetSecret", MemberKind::kMethod).invoke(*object, secret);
  std::vector<Variant> encrypted{Variant(Bstr(to_base64(oracle_seal(u"late", u"pass", settings))))};
  member(info, "Decrypt", MemberKind::kMethod).invoke(*object, encrypted);
  EXPECT_EQ(member(info, "Content", MemberKind::kPropertyGet).invoke(*object, no_args).get<Bstr>().str(), u"late");
  EXPECT_EQ(std::dynamic_pointer_cast<IEncryptedData>(object)->Algorithm()->KeyLength(), kKeyLength128Bits);
}

}  // namespace
}  // namespace automation
