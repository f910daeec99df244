// Adler checksums of a text's ANSI code-page values.
#pragma once

#include <cstdint>
#include <string_view>

namespace drumel::encript {

// RFC 1950 Adler-32 minus 2147483647 (0x7FFFFFFF), into the signed 32-bit range.
int32_t adler32_shifted(std::u16string_view text) noexcept;
// Sums modulo the prime 46337, packed as s2 × 46340 + s1 (at most 2147256576).
int32_t adler16_packed(std::u16string_view text) noexcept;

}  // namespace drumel::encript
