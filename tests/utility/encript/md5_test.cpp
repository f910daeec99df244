#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "drumel/clsEncript.hpp"

namespace drumel {
namespace {

using namespace std::literals;

std::u16string md5(std::u16string_view text) {
  automation::Bstr message(text);
  const automation::Bstr digest = clsEncript().MD5(message);
  EXPECT_EQ(message.view(), text);  // by reference, left unchanged
  return digest.str();
}

// libcrypto's MD5 of the low byte of each code unit, as lower-case hex.
std::u16string oracle_md5(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) bytes.push_back(static_cast<char>(unit & 0xFF));
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr), 1);
  std::u16string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(u"0123456789abcdef"[digest[i] >> 4]);
    hex.push_back(u"0123456789abcdef"[digest[i] & 15]);
  }
  return hex;
}

TEST(clsEncriptMD5, GivesTheTestSuiteDigestsOfRfc1321) {
  const struct {
    std::u16string_view message;
    std::u16string_view digest;
  } suite[] = {
      {u"", u"d41d8cd98f00b204e9800998ecf8427e"},
      {u"a", u"0cc175b9c0f1b6a831c399e269772661"},
      {u"abc", u"900150983cd24fb0d6963f7d28e17f72"},
      {u"message digest", u"f96b697d7cb7938d525a2f31aaf161d0"},
      {u"abcdefghijklmnopqrstuvwxyz", u"c3fcd3d76192e4007dfb496cca67e13b"},
      {u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", u"d174ab98d277d9f5a5611c2c9f419d9f"},
      {u"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       u"57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& entry : suite) EXPECT_EQ(md5(entry.message), entry.digest);
}

TEST(clsEncriptMD5, MatchesLibcryptoOnTheLowBytesOfRandomText) {
  std::mt19937 random(1321);
  std::uniform_int_distribution<int> unit(0, 0xFFFF);
  std::uniform_int_distribution<int> length(0, 700);
  std::vector<std::size_t> lengths{55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129, 100000};
  for (int i = 0; i < 200; ++i) lengths.push_back(static_cast<std::size_t>(length(random)));
  for (const std::size_t size : lengths) {
    std::u16string text(size, u'\0');
    for (char16_t& c : text) c = static_cast<char16_t>(unit(random));
    const std::u16string digest = md5(text);
    ASSERT_EQ(digest, oracle_md5(text)) << "length " << size;
  }
}

TEST(clsEncriptMD5, TakesOnlyTheLowByteOfEachCodeUnit) {
  EXPECT_EQ(md5(u"x\u010Dy"), md5(u"x\ry"));
  EXPECT_EQ(md5(u"\U0001F600"), md5(u"\x3D\x00"sv));  // U+D83D U+DE00: bytes 0x3D, 0x00
  EXPECT_EQ(md5(u"\u00E8"), oracle_md5(u"\u00E8"));   // ISO-8859-1 byte, not the code page's
  EXPECT_NE(md5(u"\u00E8"), md5(u"\u010D"));
}

TEST(clsEncriptMD5, AlwaysGives32LowerCaseHexDigits) {
  for (const std::u16string_view text : {u"", u"ABC", u"\xFF\xFF", u"The quick brown fox"}) {
    const std::u16string digest = md5(text);
    ASSERT_EQ(digest.size(), 32u);
    for (const char16_t c : digest) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'));
  }
}

}  // namespace
}  // namespace drumel
