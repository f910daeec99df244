// CRC-32 by carry-less multiplication: blocks of the message are folded
// forward modulo the polynomial (x^n mod P for the fold distance n) until one
// block remains, which the tables finish. Built with target attributes so the
// rest of the library keeps the baseline instruction set; callers check the
// processor first.
#include "crc32_engine.hpp"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace drumel {

#if defined(__x86_64__)

namespace {

#define FOLDING_128_TARGET __attribute__((target("pclmul,sse4.1")))
#define FOLDING_512_TARGET __attribute__((target("pclmul,avx512f,vpclmulqdq")))

// Folding never sees the register: it is added into the first four message
// bytes, and the last folded block is handed on as sixteen (or sixty-four)
// bytes of message run from a zero register.
constexpr std::size_t kMinimumFolding128Bytes = 64;
constexpr std::size_t kMinimumFolding512Bytes = 256;

FOLDING_128_TARGET inline __m128i load_128(const uint8_t* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

FOLDING_128_TARGET inline __m128i constants_128(const uint64_t (&pair)[2]) {
  return _mm_set_epi64x(static_cast<long long>(pair[1]), static_cast<long long>(pair[0]));
}

// block moved forward by the constants' distance, added to the block there.
FOLDING_128_TARGET inline __m128i fold_128(__m128i block, __m128i constants, __m128i there) {
  const __m128i low = _mm_clmulepi64_si128(block, constants, 0x00);
  const __m128i high = _mm_clmulepi64_si128(block, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), there);
}

// The last folded block as message bytes from a zero register, then the tail.
uint32_t finish(const std::array<Crc32Table, 8>& slices, std::span<const uint8_t> last_block, const uint8_t* tail,
                const uint8_t* end) {
  const uint32_t crc_register = crc32_slicing_by_8(slices, 0, last_block);
  return crc32_slicing_by_8(slices, crc_register, {tail, static_cast<std::size_t>(end - tail)});
}

FOLDING_512_TARGET inline __m512i load_512(const uint8_t* bytes) { return _mm512_loadu_si512(bytes); }

FOLDING_512_TARGET inline __m512i constants_512(const uint64_t (&pair)[2]) {
  const auto low = static_cast<long long>(pair[0]);
  const auto high = static_cast<long long>(pair[1]);
  return _mm512_set_epi64(high, low, high, low, high, low, high, low);
}

FOLDING_512_TARGET inline __m512i fold_512(__m512i block, __m512i constants, __m512i there) {
  const __m512i low = _mm512_clmulepi64_epi128(block, constants, 0x00);
  const __m512i high = _mm512_clmulepi64_epi128(block, constants, 0x11);
  return _mm512_ternarylogic_epi64(low, high, there, 0x96);  // three-way XOR
}

}  // namespace

bool folding_128_supported() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

bool folding_512_supported() {
  __builtin_cpu_init();
  return folding_128_supported() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
}

FOLDING_128_TARGET uint32_t crc32_folding_128(const std::array<Crc32Table, 8>& slices,
                                              const FoldingConstants& constants, uint32_t crc_register,
                                              std::span<const uint8_t> bytes) {
  if (bytes.size() < kMinimumFolding128Bytes) return crc32_slicing_by_8(slices, crc_register, bytes);
  const uint8_t* next = bytes.data();
  const uint8_t* const end = next + bytes.size();

  // Four blocks in flight hide the multiplier's latency.
  __m128i x0 = _mm_xor_si128(load_128(next), _mm_cvtsi32_si128(static_cast<int>(crc_register)));
  __m128i x1 = load_128(next + 16);
  __m128i x2 = load_128(next + 32);
  __m128i x3 = load_128(next + 48);
  next += 64;
  const __m128i by_512 = constants_128(constants.by_512);
  for (; end - next >= 64; next += 64) {
    x0 = fold_128(x0, by_512, load_128(next));
    x1 = fold_128(x1, by_512, load_128(next + 16));
    x2 = fold_128(x2, by_512, load_128(next + 32));
    x3 = fold_128(x3, by_512, load_128(next + 48));
  }
  const __m128i by_128 = constants_128(constants.by_128);
  __m128i x = fold_128(fold_128(fold_128(x0, by_128, x1), by_128, x2), by_128, x3);
  for (; end - next >= 16; next += 16) x = fold_128(x, by_128, load_128(next));

  alignas(16) uint8_t last_block[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(last_block), x);
  return finish(slices, last_block, next, end);
}

FOLDING_512_TARGET uint32_t crc32_folding_512(const std::array<Crc32Table, 8>& slices,
                                              const FoldingConstants& constants, uint32_t crc_register,
                                              std::span<const uint8_t> bytes) {
  if (bytes.size() < kMinimumFolding512Bytes) return crc32_folding_128(slices, constants, crc_register, bytes);
  const uint8_t* next = bytes.data();
  const uint8_t* const end = next + bytes.size();

  __m512i z0 =
      _mm512_xor_si512(load_512(next), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc_register))));
  __m512i z1 = load_512(next + 64);
  __m512i z2 = load_512(next + 128);
  __m512i z3 = load_512(next + 192);
  next += 256;
  const __m512i by_2048 = constants_512(constants.by_2048);
  for (; end - next >= 256; next += 256) {
    z0 = fold_512(z0, by_2048, load_512(next));
    z1 = fold_512(z1, by_2048, load_512(next + 64));
    z2 = fold_512(z2, by_2048, load_512(next + 128));
    z3 = fold_512(z3, by_2048, load_512(next + 192));
  }
  const __m512i by_512 = constants_512(constants.by_512);
  __m512i z = fold_512(fold_512(fold_512(z0, by_512, z1), by_512, z2), by_512, z3);
  for (; end - next >= 64; next += 64) z = fold_512(z, by_512, load_512(next));

  alignas(64) uint8_t last_block[64];
  _mm512_store_si512(last_block, z);
  return finish(slices, last_block, next, end);
}

#else

bool folding_128_supported() { return false; }
bool folding_512_supported() { return false; }

uint32_t crc32_folding_128(const std::array<Crc32Table, 8>& slices, const FoldingConstants&, uint32_t crc_register,
                           std::span<const uint8_t> bytes) {
  return crc32_slicing_by_8(slices, crc_register, bytes);
}

uint32_t crc32_folding_512(const std::array<Crc32Table, 8>& slices, const FoldingConstants&, uint32_t crc_register,
                           std::span<const uint8_t> bytes) {
  return crc32_slicing_by_8(slices, crc_register, bytes);
}

#endif

}  // namespace drumel
