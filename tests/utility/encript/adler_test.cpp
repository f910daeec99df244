#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "automation/code_page.hpp"
#include "drumel/clsEncript.hpp"

namespace drumel {
namespace {

int32_t adler32(std::u16string_view text) {
  automation::Bstr data(text);
  return clsEncript().Adler32(data);
}

int32_t adler16(std::u16string_view text) {
  automation::Bstr data(text);
  return clsEncript().Adler16(data);
}

int32_t zlib_shifted(std::string_view bytes) {
  const uLong sum = ::adler32(::adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                              static_cast<uInt>(bytes.size()));
  return static_cast<int32_t>(static_cast<int64_t>(sum) - 2147483647);
}

// The checksum step by step, reducing after every byte.
int32_t reference_adler16(std::string_view bytes) {
  int32_t s1 = 1;
  int32_t s2 = 0;
  for (const char byte : bytes) {
    s1 = (s1 + static_cast<uint8_t>(byte)) % 46337;
    s2 = (s2 + s1) % 46337;
  }
  return s2 * 46340 + s1;
}

TEST(clsEncriptAdler, GivesTheWorkedValues) {
  const struct {
    std::u16string_view text;
    int32_t adler32;
    int32_t adler16;
  } cases[] = {
      {u"", -2147483646, 1},
      {u"a", -2141061021, 4541418},
      {u"abc", -2108882648, 27294555},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(adler32(c.text), c.adler32);
    EXPECT_EQ(adler16(c.text), c.adler16);
  }
}

TEST(clsEncriptAdler, MatchesZlibAndAStepwiseReferenceOnCodePageValues) {
  std::mt19937 random(1950);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<std::size_t> lengths{1, 5551, 5552, 5553, 5624, 5625, 11105, 200000};
  for (int i = 0; i < 100; ++i) lengths.push_back(static_cast<std::size_t>(random() % 3000));
  for (const std::size_t size : lengths) {
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(byte(random));
    const std::u16string text = automation::from_ansi(bytes);
    ASSERT_EQ(adler32(text), zlib_shifted(bytes)) << "length " << size;
    ASSERT_EQ(adler16(text), reference_adler16(bytes)) << "length " << size;
  }
  // All 0xFF: the largest sums, where a late reduction would overflow first.
  for (const std::size_t size : {5552u, 5625u, 1000000u}) {
    const std::string bytes(size, '\xFF');
    const std::u16string text = automation::from_ansi(bytes);
    EXPECT_EQ(adler32(text), zlib_shifted(bytes)) << "length " << size;
    EXPECT_EQ(adler16(text), reference_adler16(bytes)) << "length " << size;
  }
}

TEST(clsEncriptAdler, CountsCharactersWithTheirCodePageValue) {
  EXPECT_EQ(adler32(u"\u010D"), zlib_shifted("\xE8"));  // č is 0xE8 in Windows-1250
  EXPECT_EQ(adler32(u"\r"), zlib_shifted("\x0D"));
  EXPECT_NE(adler32(u"\u010D"), adler32(u"\r"));
  EXPECT_EQ(adler16(u"\u010D"), reference_adler16("\xE8"));
  EXPECT_NE(adler16(u"\u010D"), adler16(u"\r"));
  EXPECT_EQ(adler32(u"\u4E2D"), zlib_shifted("?"));  // outside the code page
}

}  // namespace
}  // namespace drumel
