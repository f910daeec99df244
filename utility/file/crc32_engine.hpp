// The CRC-32 register arithmetic for one polynomial, in the reflected
// (least significant bit first) form that CRCInit takes. No preset and no
// final complement here: the caller owns the register.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace drumel {

enum class Crc32Method {
  kByteTable,   // one table lookup per byte: the reference
  kSlicingBy8,  // eight tables, eight bytes per step
  kFolding128,  // carry-less multiply (PCLMULQDQ), 64 bytes per step
  kFolding512,  // the same on 512-bit registers (VPCLMULQDQ, AVX-512)
};

using Crc32Table = std::array<uint32_t, 256>;

// Multipliers that move a 128-bit block forward by a fixed number of bits
// modulo the polynomial; one pair per distance.
struct FoldingConstants {
  uint64_t by_128[2];
  uint64_t by_512[2];
  uint64_t by_2048[2];
};

class Crc32Engine {
 public:
  // With the fastest method this processor supports.
  explicit Crc32Engine(uint32_t polynomial);
  // A method the processor lacks falls back to slicing-by-8.
  Crc32Engine(uint32_t polynomial, Crc32Method method);

  static bool supported(Crc32Method method);
  static Crc32Method fastest_method();

  uint32_t update(uint32_t crc_register, std::span<const uint8_t> bytes) const;

  Crc32Method method() const noexcept { return method_; }
  const Crc32Table& byte_table() const noexcept { return slices_[0]; }

 private:
  std::array<Crc32Table, 8> slices_;  // slices_[k]: the effect of a byte followed by k zero bytes
  FoldingConstants folding_{};
  Crc32Method method_;
};

// The table of the byte-wise algorithm: entry i is i run through eight
// shift-and-conditional-XOR steps.
Crc32Table build_crc32_table(uint32_t polynomial);
uint32_t crc32_byte_table(const Crc32Table& table, uint32_t crc_register, std::span<const uint8_t> bytes);
uint32_t crc32_slicing_by_8(const std::array<Crc32Table, 8>& slices, uint32_t crc_register,
                            std::span<const uint8_t> bytes);
FoldingConstants build_folding_constants(uint32_t polynomial);

// Carry-less multiply folding; they fall back to slicing-by-8 for inputs too
// short to fold. Callable only where supported() says so.
uint32_t crc32_folding_128(const std::array<Crc32Table, 8>& slices, const FoldingConstants& constants,
                           uint32_t crc_register, std::span<const uint8_t> bytes);
uint32_t crc32_folding_512(const std::array<Crc32Table, 8>& slices, const FoldingConstants& constants,
                           uint32_t crc_register, std::span<const uint8_t> bytes);
bool folding_128_supported();
bool folding_512_supported();

}  // namespace drumel
