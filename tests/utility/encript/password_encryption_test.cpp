#include <gtest/gtest.h>

#include <string>

#include "automation/class_registry.hpp"
#include "automation/encrypted_data.hpp"
#include "drumel/clsEncript.hpp"

namespace drumel {
namespace {

using automation::Bstr;

std::u16string encrypt(std::u16string_view password, std::u16string_view text) {
  Bstr key(password);
  Bstr plaintext(text);
  const Bstr result = clsEncript().encrypt(key, plaintext);
  EXPECT_EQ(plaintext.view(), text);
  return result.str();
}

std::u16string decrypt(std::u16string_view password, std::u16string_view encrypted) {
  Bstr key(password);
  Bstr ciphertext(encrypted);
  return clsEncript().decrypt(key, ciphertext).str();
}

TEST(clsEncriptPassword, RoundTripsAnyText) {
  const std::u16string texts[] = {u"", u"Meet me at noon.", u"\u0160\u0111\u010D\u0107\u017E \u20AC \U0001F600\r\n"};
  for (const std::u16string& text : texts) {
    const std::u16string encrypted = encrypt(u"Kljuc", text);
    EXPECT_FALSE(encrypted.empty());
    EXPECT_EQ(encrypted.find(text.empty() ? u"\x01" : text), std::u16string::npos);
    EXPECT_EQ(decrypt(u"Kljuc", encrypted), text);
  }
}

TEST(clsEncriptPassword, EncryptingTwiceGivesDifferentTexts) {
  EXPECT_NE(encrypt(u"pw", u"same words"), encrypt(u"pw", u"same words"));
}

TEST(clsEncriptPassword, WrongPasswordDamageOrGarbageGiveTheEmptyString) {
  const std::u16string encrypted = encrypt(u"right", u"secret");
  EXPECT_EQ(decrypt(u"Right", encrypted), u"");

  std::u16string tampered = encrypted;
  tampered[tampered.size() / 2] = tampered[tampered.size() / 2] == u'A' ? u'B' : u'A';
  EXPECT_EQ(decrypt(u"right", tampered), u"");
  EXPECT_EQ(decrypt(u"right", encrypted.substr(0, encrypted.size() - 4)), u"");
  for (const std::u16string_view garbage : {u"", u"garbage", u"%%%%", u"QUJDRA=="})
    EXPECT_EQ(decrypt(u"right", garbage), u"");
  EXPECT_EQ(encrypt(u"", u"no password"), u"");
}

// Swaps the registration of the encrypted-data component for the test's span,
// as a host would, and puts the original back.
class RegistrationSwap {
 public:
  explicit RegistrationSwap(const automation::ClassInfo* replacement)
      : original_(automation::find_class(automation::kEncryptedDataClsid)) {
    EXPECT_NE(original_, nullptr);
    if (replacement == nullptr)
      automation::unregister_class(automation::kEncryptedDataClsid);
    else
      automation::register_class(*replacement);
  }
  ~RegistrationSwap() { automation::register_class(*original_); }
  RegistrationSwap(const RegistrationSwap&) = delete;
  RegistrationSwap& operator=(const RegistrationSwap&) = delete;

 private:
  const automation::ClassInfo* original_;
};

TEST(clsEncriptPassword, ComponentThatCannotBeCreatedGivesTheEmptyString) {
  const std::u16string encrypted = encrypt(u"pw", u"text");
  {
    RegistrationSwap missing(nullptr);
    EXPECT_EQ(encrypt(u"pw", u"text"), u"");
    EXPECT_EQ(decrypt(u"pw", encrypted), u"");
  }
  automation::ClassInfo refusing;
  refusing.library = "Host";
  refusing.name = "Refusing";
  refusing.clsid = automation::kEncryptedDataClsid;
  refusing.create = []() -> automation::ObjectRef { throw automation::AutomationError(429, "cannot create"); };
  {
    RegistrationSwap failing(&refusing);
    EXPECT_EQ(encrypt(u"pw", u"text"), u"");
  }
  automation::ClassInfo unrelated = refusing;
  unrelated.create = [] { return automation::ObjectRef(std::make_shared<clsEncript>()); };
  {
    RegistrationSwap wrong_kind(&unrelated);
    EXPECT_EQ(decrypt(u"pw", encrypted), u"");
  }
  EXPECT_EQ(decrypt(u"pw", encrypted), u"text");
}

}  // namespace
}  // namespace drumel
