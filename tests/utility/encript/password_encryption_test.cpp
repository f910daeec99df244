#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/encrypted_data.hpp"
#include "automation/error.hpp"
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

// "text" under "Kljuc", sealed with one key-derivation iteration (the
// envelope names its own cost) so that opening it costs nothing.
constexpr std::u16string_view kCheaplySealed =
    u"AQQBAAEAAAABEAABAgMEBQYHCAkKCwwNDg8MZGVmZ2hpamtsbW5vAmxQjryOMJ03i3bn8J+CZGh14AREU7Ez";

// Every encryption, and every opening of encrypt's own output, pays the full
// key-derivation cost: each text is encrypted once, when a test first needs it.
class clsEncriptPassword : public testing::Test {
 protected:
  static const std::u16string& encrypted(std::size_t i) {
    static std::vector<std::u16string> cache(std::size(kTexts));
    if (cache[i].empty()) cache[i] = encrypt(u"Kljuc", kTexts[i]);
    return cache[i];
  }

  static inline const std::u16string kTexts[] = {u"", u"Meet me at noon.",
                                                 u"\u0160\u0111\u010D\u0107\u017E \u20AC \U0001F600\r\n"};
};

TEST_F(clsEncriptPassword, RoundTripsEmptyAsciiAndOtherText) {
  for (std::size_t i = 0; i < std::size(kTexts); ++i) {
    EXPECT_FALSE(encrypted(i).empty());
    EXPECT_EQ(decrypt(u"Kljuc", encrypted(i)), kTexts[i]);
  }
}

TEST_F(clsEncriptPassword, EncryptingTwiceGivesDifferentTexts) {
  EXPECT_NE(encrypt(u"Kljuc", kTexts[1]), encrypted(1));
}

TEST(clsEncriptPasswordFailure, WrongPasswordDamageOrGarbageGiveTheEmptyString) {
  const std::u16string sealed(kCheaplySealed);
  ASSERT_EQ(decrypt(u"Kljuc", sealed), u"text");
  EXPECT_EQ(decrypt(u"kljuc", sealed), u"");
  std::u16string tampered = sealed;
  tampered[tampered.size() - 8] = tampered[tampered.size() - 8] == u'A' ? u'B' : u'A';  // in the ciphertext
  EXPECT_EQ(decrypt(u"Kljuc", tampered), u"");
  EXPECT_EQ(decrypt(u"Kljuc", sealed.substr(0, sealed.size() - 4)), u"");
  for (const std::u16string_view garbage : {u"", u"garbage", u"%%%%", u"QUJDRA=="})
    EXPECT_EQ(decrypt(u"Kljuc", garbage), u"");
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

TEST(clsEncriptPasswordComponent, ComponentThatCannotBeCreatedGivesTheEmptyString) {
  const std::u16string_view sealed = kCheaplySealed;
  ASSERT_EQ(decrypt(u"Kljuc", sealed), u"text");
  {
    RegistrationSwap missing(nullptr);
    EXPECT_EQ(encrypt(u"pw", u"text"), u"");
    EXPECT_EQ(decrypt(u"Kljuc", sealed), u"");
  }
  automation::ClassInfo refusing;
  refusing.library = "Host";
  refusing.name = "Refusing";
  refusing.clsid = automation::kEncryptedDataClsid;
  refusing.create = []() -> automation::ObjectRef { automation::raise_error(429, "cannot create"); };
  {
    RegistrationSwap failing(&refusing);
    EXPECT_EQ(encrypt(u"pw", u"text"), u"");
    EXPECT_EQ(decrypt(u"Kljuc", sealed), u"");
  }
  automation::ClassInfo unrelated = refusing;
  unrelated.create = [] { return automation::ObjectRef(std::make_shared<clsEncript>()); };
  {
    RegistrationSwap wrong_kind(&unrelated);
    EXPECT_EQ(decrypt(u"Kljuc", sealed), u"");
  }
  EXPECT_EQ(decrypt(u"Kljuc", sealed), u"text");
}

}  // namespace
}  // namespace drumel
