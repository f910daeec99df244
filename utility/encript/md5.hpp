// MD5 (RFC 1321) of the low bytes of a UTF-16 text: byte i is the low 8 bits
// of code unit i, with no code-page conversion.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace drumel::encript {

using Md5Digest = std::array<uint8_t, 16>;

Md5Digest md5_of_low_bytes(std::u16string_view text) noexcept;
// 32 lower-case hexadecimal digits, the digest's bytes in order.
std::u16string md5_hex(const Md5Digest& digest);

}  // namespace drumel::encript
