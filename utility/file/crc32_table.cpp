#include <bit>
#include <cstring>

#include "crc32_engine.hpp"

namespace drumel {

Crc32Table build_crc32_table(uint32_t polynomial) {
  Crc32Table table{};
  for (uint32_t index = 0; index < 256; ++index) {
    uint32_t c = index;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1u) != 0 ? (c >> 1) ^ polynomial : c >> 1;
    table[index] = c;
  }
  return table;
}

uint32_t crc32_byte_table(const Crc32Table& table, uint32_t crc_register, std::span<const uint8_t> bytes) {
  for (const uint8_t byte : bytes) crc_register = (crc_register >> 8) ^ table[(byte ^ crc_register) & 0xFFu];
  return crc_register;
}

uint32_t crc32_slicing_by_8(const std::array<Crc32Table, 8>& slices, uint32_t crc_register,
                            std::span<const uint8_t> bytes) {
  const uint8_t* next = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 8; left -= 8, next += 8) {
    uint64_t word = 0;
    std::memcpy(&word, next, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    word ^= crc_register;
    crc_register = slices[7][word & 0xFFu] ^ slices[6][(word >> 8) & 0xFFu] ^ slices[5][(word >> 16) & 0xFFu] ^
                   slices[4][(word >> 24) & 0xFFu] ^ slices[3][(word >> 32) & 0xFFu] ^ slices[2][(word >> 40) & 0xFFu] ^
                   slices[1][(word >> 48) & 0xFFu] ^ slices[0][word >> 56];
  }
  return crc32_byte_table(slices[0], crc_register, {next, left});
}

namespace {

// x^n modulo the polynomial, reflected: bit i holds the coefficient of x^(31-i).
uint32_t x_power_modulo(unsigned n, uint32_t polynomial) {
  uint32_t value = 0x80000000u;  // x^0
  for (unsigned i = 0; i < n; ++i) value = (value & 1u) != 0 ? (value >> 1) ^ polynomial : value >> 1;
  return value;
}

// The low half of a 128-bit block holds its higher powers, so it moves by
// distance + 32 and the high half by distance - 32; the shift by one lines
// the 95-bit product up with a 128-bit block.
void fill(uint64_t (&pair)[2], unsigned distance_bits, uint32_t polynomial) {
  pair[0] = static_cast<uint64_t>(x_power_modulo(distance_bits + 32, polynomial)) << 1;
  pair[1] = static_cast<uint64_t>(x_power_modulo(distance_bits - 32, polynomial)) << 1;
}

}  // namespace

FoldingConstants build_folding_constants(uint32_t polynomial) {
  FoldingConstants constants{};
  fill(constants.by_128, 128, polynomial);
  fill(constants.by_512, 512, polynomial);
  fill(constants.by_2048, 2048, polynomial);
  return constants;
}

}  // namespace drumel
