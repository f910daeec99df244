// Strict Base64 (RFC 4648 alphabet, padded): text that is not canonical
// Base64 is refused rather than decoded approximately.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace automation::encrypted_data {

std::u16string base64_encode(std::span<const uint8_t> bytes);
// Line breaks are skipped; any other character outside the alphabet, a wrong
// length, misplaced padding or non-zero padding bits give nothing.
std::optional<std::vector<uint8_t>> base64_decode(std::u16string_view text);

}  // namespace automation::encrypted_data
