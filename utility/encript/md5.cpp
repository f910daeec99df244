#include "md5.hpp"

#include <bit>
#include <cstring>

namespace drumel::encript {
namespace {

constexpr std::size_t kBlockBytes = 64;

struct Md5State {
  uint32_t a = 0x67452301;
  uint32_t b = 0xefcdab89;
  uint32_t c = 0x98badcfe;
  uint32_t d = 0x10325476;
};

// The auxiliary functions in forms with the shortest dependency on b, the
// newest word: G as a sum of disjoint bit sets lets (~d & c) start early.
[[gnu::always_inline]] inline void step_f(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t,
                                          int s) {
  a = b + std::rotl(a + x + t + (d ^ (b & (c ^ d))), s);
}
[[gnu::always_inline]] inline void step_g(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t,
                                          int s) {
  a = b + std::rotl(a + x + t + (~d & c) + (d & b), s);
}
[[gnu::always_inline]] inline void step_h(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t,
                                          int s) {
  a = b + std::rotl(a + x + t + (b ^ c ^ d), s);
}
[[gnu::always_inline]] inline void step_i(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t,
                                          int s) {
  a = b + std::rotl(a + x + t + (c ^ (b | ~d)), s);
}

void transform(Md5State& state, const uint8_t* block) noexcept {
  uint32_t x[16];
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(x, block, sizeof x);
  } else {
    for (int i = 0; i < 16; ++i)
      x[i] = uint32_t{block[4 * i]} | uint32_t{block[4 * i + 1]} << 8 | uint32_t{block[4 * i + 2]} << 16 |
             uint32_t{block[4 * i + 3]} << 24;
  }
  uint32_t a = state.a;
  uint32_t b = state.b;
  uint32_t c = state.c;
  uint32_t d = state.d;

  step_f(a, b, c, d, x[0], 0xd76aa478, 7);
  step_f(d, a, b, c, x[1], 0xe8c7b756, 12);
  step_f(c, d, a, b, x[2], 0x242070db, 17);
  step_f(b, c, d, a, x[3], 0xc1bdceee, 22);
  step_f(a, b, c, d, x[4], 0xf57c0faf, 7);
  step_f(d, a, b, c, x[5], 0x4787c62a, 12);
  step_f(c, d, a, b, x[6], 0xa8304613, 17);
  step_f(b, c, d, a, x[7], 0xfd469501, 22);
  step_f(a, b, c, d, x[8], 0x698098d8, 7);
  step_f(d, a, b, c, x[9], 0x8b44f7af, 12);
  step_f(c, d, a, b, x[10], 0xffff5bb1, 17);
  step_f(b, c, d, a, x[11], 0x895cd7be, 22);
  step_f(a, b, c, d, x[12], 0x6b901122, 7);
  step_f(d, a, b, c, x[13], 0xfd987193, 12);
  step_f(c, d, a, b, x[14], 0xa679438e, 17);
  step_f(b, c, d, a, x[15], 0x49b40821, 22);

  step_g(a, b, c, d, x[1], 0xf61e2562, 5);
  step_g(d, a, b, c, x[6], 0xc040b340, 9);
  step_g(c, d, a, b, x[11], 0x265e5a51, 14);
  step_g(b, c, d, a, x[0], 0xe9b6c7aa, 20);
  step_g(a, b, c, d, x[5], 0xd62f105d, 5);
  step_g(d, a, b, c, x[10], 0x02441453, 9);
  step_g(c, d, a, b, x[15], 0xd8a1e681, 14);
  step_g(b, c, d, a, x[4], 0xe7d3fbc8, 20);
  step_g(a, b, c, d, x[9], 0x21e1cde6, 5);
  step_g(d, a, b, c, x[14], 0xc33707d6, 9);
  step_g(c, d, a, b, x[3], 0xf4d50d87, 14);
  step_g(b, c, d, a, x[8], 0x455a14ed, 20);
  step_g(a, b, c, d, x[13], 0xa9e3e905, 5);
  step_g(d, a, b, c, x[2], 0xfcefa3f8, 9);
  step_g(c, d, a, b, x[7], 0x676f02d9, 14);
  step_g(b, c, d, a, x[12], 0x8d2a4c8a, 20);

  step_h(a, b, c, d, x[5], 0xfffa3942, 4);
  step_h(d, a, b, c, x[8], 0x8771f681, 11);
  step_h(c, d, a, b, x[11], 0x6d9d6122, 16);
  step_h(b, c, d, a, x[14], 0xfde5380c, 23);
  step_h(a, b, c, d, x[1], 0xa4beea44, 4);
  step_h(d, a, b, c, x[4], 0x4bdecfa9, 11);
  step_h(c, d, a, b, x[7], 0xf6bb4b60, 16);
  step_h(b, c, d, a, x[10], 0xbebfbc70, 23);
  step_h(a, b, c, d, x[13], 0x289b7ec6, 4);
  step_h(d, a, b, c, x[0], 0xeaa127fa, 11);
  step_h(c, d, a, b, x[3], 0xd4ef3085, 16);
  step_h(b, c, d, a, x[6], 0x04881d05, 23);
  step_h(a, b, c, d, x[9], 0xd9d4d039, 4);
  step_h(d, a, b, c, x[12], 0xe6db99e5, 11);
  step_h(c, d, a, b, x[15], 0x1fa27cf8, 16);
  step_h(b, c, d, a, x[2], 0xc4ac5665, 23);

  step_i(a, b, c, d, x[0], 0xf4292244, 6);
  step_i(d, a, b, c, x[7], 0x432aff97, 10);
  step_i(c, d, a, b, x[14], 0xab9423a7, 15);
  step_i(b, c, d, a, x[5], 0xfc93a039, 21);
  step_i(a, b, c, d, x[12], 0x655b59c3, 6);
  step_i(d, a, b, c, x[3], 0x8f0ccc92, 10);
  step_i(c, d, a, b, x[10], 0xffeff47d, 15);
  step_i(b, c, d, a, x[1], 0x85845dd1, 21);
  step_i(a, b, c, d, x[8], 0x6fa87e4f, 6);
  step_i(d, a, b, c, x[15], 0xfe2ce6e0, 10);
  step_i(c, d, a, b, x[6], 0xa3014314, 15);
  step_i(b, c, d, a, x[13], 0x4e0811a1, 21);
  step_i(a, b, c, d, x[4], 0xf7537e82, 6);
  step_i(d, a, b, c, x[11], 0xbd3af235, 10);
  step_i(c, d, a, b, x[2], 0x2ad7d2bb, 15);
  step_i(b, c, d, a, x[9], 0xeb86d391, 21);

  state.a += a;
  state.b += b;
  state.c += c;
  state.d += d;
}

// The message bytes of one block; a plain loop the compiler turns into vector packing.
inline void take_low_bytes(const char16_t* units, std::size_t count, uint8_t* bytes) noexcept {
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(units[i]);
}

}  // namespace

Md5Digest md5_of_low_bytes(std::u16string_view text) noexcept {
  Md5State state;
  uint8_t block[2 * kBlockBytes];
  const std::size_t whole_blocks = text.size() / kBlockBytes;
  for (std::size_t n = 0; n < whole_blocks; ++n) {
    take_low_bytes(text.data() + n * kBlockBytes, kBlockBytes, block);
    transform(state, block);
  }

  // Padding: 0x80, zeros up to 56 mod 64, the length in bits (little-endian).
  const std::size_t rest = text.size() - whole_blocks * kBlockBytes;
  take_low_bytes(text.data() + whole_blocks * kBlockBytes, rest, block);
  const std::size_t tail_bytes = rest < kBlockBytes - 8 ? kBlockBytes : 2 * kBlockBytes;
  block[rest] = 0x80;
  std::memset(block + rest + 1, 0, tail_bytes - 8 - rest - 1);
  const uint64_t bit_length = static_cast<uint64_t>(text.size()) * 8;
  for (std::size_t i = 0; i < 8; ++i) block[tail_bytes - 8 + i] = static_cast<uint8_t>(bit_length >> (8 * i));
  transform(state, block);
  if (tail_bytes == 2 * kBlockBytes) transform(state, block + kBlockBytes);

  Md5Digest digest;
  const uint32_t words[4] = {state.a, state.b, state.c, state.d};
  for (std::size_t i = 0; i < 16; ++i) digest[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
  return digest;
}

std::u16string md5_hex(const Md5Digest& digest) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string hex(32, u'0');
  for (std::size_t i = 0; i < digest.size(); ++i) {
    hex[2 * i] = kDigits[digest[i] >> 4];
    hex[2 * i + 1] = kDigits[digest[i] & 0x0F];
  }
  return hex;
}

}  // namespace drumel::encript
