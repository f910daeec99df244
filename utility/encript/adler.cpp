#include "adler.hpp"

#include <algorithm>

#include "automation/code_page.hpp"

namespace drumel::encript {
namespace {

constexpr uint32_t kAdler32Modulus = 65521;
constexpr uint32_t kAdler16Modulus = 46337;
constexpr uint32_t kAdler16Multiplier = 46340;
constexpr int64_t kAdler32Shift = 2147483647;

// The longest run of bytes (each at most 255) after which both sums, starting
// below the modulus, still fit in 32 bits: the largest n with
// 255 n (n + 1) / 2 + (n + 1) (modulus - 1) <= 2^32 - 1. The modulo can wait that long.
constexpr std::size_t safe_block_length(uint32_t modulus) {
  uint64_t n = 0;
  const auto worst_s2 = [modulus](uint64_t length) {
    return 255 * length * (length + 1) / 2 + (length + 1) * (modulus - 1);
  };
  while (worst_s2(n + 1) <= 0xFFFFFFFFu) ++n;
  return n;
}
static_assert(safe_block_length(kAdler32Modulus) == 5552);

struct AdlerSums {
  uint32_t s1;
  uint32_t s2;
};

template <uint32_t Modulus>
AdlerSums adler_sums(std::u16string_view text) noexcept {
  constexpr std::size_t kBlock = safe_block_length(Modulus);
  const automation::AnsiCodePage& page = automation::ansi_code_page();
  uint32_t s1 = 1;
  uint32_t s2 = 0;
  const char16_t* next = text.data();
  const char16_t* const end = next + text.size();
  while (next != end) {
    const char16_t* const block_end = next + std::min<std::size_t>(kBlock, static_cast<std::size_t>(end - next));
    // Unrolled: the loop's own bookkeeping otherwise costs as much as the sums.
#pragma GCC unroll 8
    for (; next != block_end; ++next) {
      s1 += page.to_ansi(*next);
      s2 += s1;
    }
    s1 %= Modulus;
    s2 %= Modulus;
  }
  return {s1, s2};
}

}  // namespace

int32_t adler32_shifted(std::u16string_view text) noexcept {
  const AdlerSums sums = adler_sums<kAdler32Modulus>(text);
  return static_cast<int32_t>((int64_t{sums.s2} << 16 | sums.s1) - kAdler32Shift);
}

int32_t adler16_packed(std::u16string_view text) noexcept {
  const AdlerSums sums = adler_sums<kAdler16Modulus>(text);
  return static_cast<int32_t>(sums.s2 * kAdler16Multiplier + sums.s1);
}

}  // namespace drumel::encript
