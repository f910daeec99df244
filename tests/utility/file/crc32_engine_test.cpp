#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "crc32_engine.hpp"

namespace drumel {
namespace {

// One bit at a time, straight from the definition: independent of every table.
uint32_t bitwise_crc_register(uint32_t polynomial, uint32_t crc_register, const std::vector<uint8_t>& bytes,
                              std::size_t begin, std::size_t end) {
  for (std::size_t i = begin; i < end; ++i) {
    crc_register ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit)
      crc_register = (crc_register & 1u) != 0 ? (crc_register >> 1) ^ polynomial : crc_register >> 1;
  }
  return crc_register;
}

const char* method_name(Crc32Method method) {
  switch (method) {
    case Crc32Method::kByteTable:
      return "byte table";
    case Crc32Method::kSlicingBy8:
      return "slicing-by-8";
    case Crc32Method::kFolding128:
      return "folding 128";
    case Crc32Method::kFolding512:
      return "folding 512";
  }
  return "?";
}

constexpr Crc32Method kAllMethods[] = {Crc32Method::kByteTable, Crc32Method::kSlicingBy8, Crc32Method::kFolding128,
                                       Crc32Method::kFolding512};

std::vector<uint8_t> random_bytes(std::size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(count);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

TEST(Crc32Engine, TableIsTheDefinitionsShiftRegister) {
  const Crc32Table table = build_crc32_table(0xEDB88320u);
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[1], 0x77073096u);
  EXPECT_EQ(table[255], 0x2D02EF8Du);
  const Crc32Table castagnoli = build_crc32_table(0x82F63B78u);
  EXPECT_EQ(castagnoli[1], 0xF26B8303u);
}

// Every method, every length around the folding thresholds and block sizes,
// every misalignment and a non-trivial incoming register, for polynomials
// with and without the x^0 term.
TEST(Crc32Engine, EveryMethodMatchesTheBitwiseDefinition) {
  const std::vector<uint32_t> polynomials = {0xEDB88320u, 0x82F63B78u, 0xEB31D82Eu, 0xD5828281u,
                                             0x00000001u, 0x80000000u, 0x00000000u, 0xFFFFFFFFu};
  const std::vector<uint8_t> bytes = random_bytes(4096 + 64, 7);
  std::vector<std::size_t> lengths;
  for (std::size_t length = 0; length <= 600; ++length) lengths.push_back(length);
  for (std::size_t length : {1023u, 1024u, 1025u, 2047u, 2048u, 4095u, 4096u}) lengths.push_back(length);
  for (const uint32_t polynomial : polynomials) {
    for (const Crc32Method method : kAllMethods) {
      if (!Crc32Engine::supported(method)) continue;
      const Crc32Engine engine(polynomial, method);
      ASSERT_EQ(engine.method(), method);
      for (const std::size_t length : lengths) {
        const std::size_t offset = length % 61;
        const uint32_t start = 0xFFFFFFFFu ^ static_cast<uint32_t>(length * 2654435761u);
        const uint32_t expected = bitwise_crc_register(polynomial, start, bytes, offset, offset + length);
        ASSERT_EQ(engine.update(start, {bytes.data() + offset, length}), expected)
            << method_name(method) << " polynomial " << std::hex << polynomial << std::dec << " length " << length;
      }
    }
  }
}

TEST(Crc32Engine, DefaultPolynomialAgreesWithZlibAcrossChunkedUpdates) {
  const std::vector<uint8_t> bytes = random_bytes(1 << 20, 11);
  const auto zlib = static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
  for (const Crc32Method method : kAllMethods) {
    if (!Crc32Engine::supported(method)) continue;
    const Crc32Engine engine(0xEDB88320u, method);
    // Uneven chunks: the register must carry across calls.
    uint32_t crc_register = 0xFFFFFFFFu;
    std::size_t offset = 0;
    for (std::size_t chunk = 1; offset < bytes.size(); chunk = chunk * 3 + 1) {
      const std::size_t length = std::min(chunk, bytes.size() - offset);
      crc_register = engine.update(crc_register, {bytes.data() + offset, length});
      offset += length;
    }
    EXPECT_EQ(~crc_register, zlib) << method_name(method);
  }
}

TEST(Crc32Engine, UnsupportedMethodFallsBackToSlicing) {
  EXPECT_TRUE(Crc32Engine::supported(Crc32Method::kByteTable));
  EXPECT_TRUE(Crc32Engine::supported(Crc32Method::kSlicingBy8));
  EXPECT_TRUE(Crc32Engine::supported(Crc32Engine::fastest_method()));
  for (const Crc32Method method : kAllMethods) {
    const Crc32Engine engine(0xEDB88320u, method);
    EXPECT_EQ(engine.method(), Crc32Engine::supported(method) ? method : Crc32Method::kSlicingBy8);
  }
  if (Crc32Engine::supported(Crc32Method::kFolding512)) {
    EXPECT_EQ(Crc32Engine::fastest_method(), Crc32Method::kFolding512);
  }
}

}  // namespace
}  // namespace drumel
