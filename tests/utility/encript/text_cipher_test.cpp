#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "automation/code_page.hpp"
#include "automation/error.hpp"
#include "drumel/clsEncript.hpp"
#include "raises_automation_error.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using test_support::RaisesAutomationError;

std::u16string encipher(std::u16string_view text, std::u16string_view password) {
  Bstr input(text);
  const automation::Variant result = clsEncript().EncryptText(input, Bstr(password));
  EXPECT_EQ(input.view(), text);
  return result.get<Bstr>().str();
}

std::u16string decipher(std::u16string_view text, std::u16string_view password) {
  Bstr input(text);
  return clsEncript().DecryptText(input, Bstr(password)).get<Bstr>().str();
}

std::string codes(std::u16string_view text) { return automation::to_ansi(text); }

TEST(clsEncriptTextCipher, PairsCharacterIWithPasswordCharacterIModLPlusOne) {
  // "AB": text characters 1, 3, 5 take 'B' (66), 2 and 4 take 'A' (65).
  EXPECT_EQ(codes(encipher(u"\x01\x01\x01\x01\x01", u"AB")), "\x43\x42\x43\x42\x43");
  // "ABC": 1 → B, 2 → C, 3 → A, 4 → B.
  EXPECT_EQ(codes(encipher(u"\x01\x01\x01\x01", u"ABC")), "\x43\x44\x42\x43");
  // One character shifts everything alike; codes wrap modulo 256.
  EXPECT_EQ(codes(encipher(u"\x01\x02\u02D9", u"a")), std::string("\x42\x43\x40"));  // 0xFF + 0x41
  EXPECT_EQ(codes(decipher(u"\x01\x02\x40", u"a")), std::string("\xC0\xC1\xFF"));
}

TEST(clsEncriptTextCipher, PasswordIsCaseInsensitiveAlsoBeyondAscii) {
  const std::u16string text = u"Lijepa na\u0161a domovino";
  EXPECT_EQ(encipher(text, u"tajna \u010Dvor"), encipher(text, u"TAJNA \u010Cvor"));
  EXPECT_NE(encipher(text, u"tajna"), text);
}

TEST(clsEncriptTextCipher, EmptyPasswordOrTextGivesTheTextBack) {
  const std::u16string longer(40000, u'x');
  EXPECT_EQ(encipher(longer, u""), longer);
  EXPECT_EQ(decipher(u"abc\u4E2D", u""), u"abc\u4E2D");  // untouched, even outside the code page
  EXPECT_EQ(encipher(u"", u"pass"), u"");
  Bstr null_text;
  EXPECT_TRUE(clsEncript().EncryptText(null_text, Bstr(u"")).get<Bstr>().is_null());
}

TEST(clsEncriptTextCipher, EveryCodePageCharacterRoundTrips) {
  std::string all(256, '\0');
  for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<char>(i);
  const std::u16string text = automation::from_ansi(all);
  for (const std::u16string_view password : {u"k", u"Kljuc", u"\u017Eaba \u00FF~", u"\x01\x80"}) {
    const std::u16string enciphered = encipher(text, password);
    EXPECT_EQ(enciphered.size(), text.size());
    EXPECT_NE(enciphered, text);
    EXPECT_EQ(decipher(enciphered, password), text);
  }
}

TEST(clsEncriptTextCipher, TakesAtMost32766Characters) {
  const std::u16string longest(32766, u'a');
  EXPECT_EQ(decipher(encipher(longest, u"pw"), u"pw"), longest);
  for (const std::size_t size : {32767u, 32768u, 100000u}) {
    for (const bool enciphering : {true, false}) {
      EXPECT_THAT(
          [&] {
            enciphering ? encipher(std::u16string(size, u'a'), u"pw") : decipher(std::u16string(size, u'a'), u"pw");
          },
          RaisesAutomationError(automation::kErrOverflow))
          << size << " characters";
    }
  }
}

}  // namespace
}  // namespace drumel
